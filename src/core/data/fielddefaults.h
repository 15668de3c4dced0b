#pragma once

class TSettingsStore;

// The values that new items receive when they have none.  The concrete
// collection type keeps its defaults in a descendant.
class TFieldDefaults {
public:
    virtual ~TFieldDefaults() = default;
    virtual void Load(const TSettingsStore & /*store*/) {}
    virtual void Save(TSettingsStore & /*store*/) const {}
};
