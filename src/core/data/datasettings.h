#pragma once

// The few user preferences that the collection model itself consults.  The
// settings object owns one of these and installs it with SetCurrent; tests
// install their own.  Without one installed the defaults below apply.
struct TDataSettings {
    // Lookup values are shown by their sort name ("Lanterns, The").
    bool ShowLookupSortNames = false;
    // New main items receive the root's next index number.
    bool AutoIncrementIndex = true;

    static const TDataSettings &Current();
    // Installs the settings the model reads from now on (not owned; nullptr
    // restores the defaults).  The object must outlive its installation.
    static void SetCurrent(const TDataSettings *settings);
};

// Installs settings for the lifetime of a scope and restores the previous
// ones afterwards.
class TDataSettingsScope {
public:
    explicit TDataSettingsScope(const TDataSettings &settings);
    ~TDataSettingsScope();
    TDataSettingsScope(const TDataSettingsScope &) = delete;
    TDataSettingsScope &operator=(const TDataSettingsScope &) = delete;

private:
    const TDataSettings *m_previous;
};
