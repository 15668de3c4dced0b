#pragma once

class TDataItem;

// Something that accepts or rejects items, such as the user's filter.  An
// inactive filter accepts every item.
class TItemFilter {
public:
    virtual ~TItemFilter() = default;
    virtual bool IsActive() const = 0;
    virtual bool Matches(const TDataItem *item) const = 0;
};
