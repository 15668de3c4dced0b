#include "core/data/datasettings.h"

namespace {
const TDataSettings defaultSettings;
const TDataSettings *currentSettings = nullptr;
} // namespace

const TDataSettings &TDataSettings::Current()
{
    return currentSettings ? *currentSettings : defaultSettings;
}

void TDataSettings::SetCurrent(const TDataSettings *settings)
{
    currentSettings = settings;
}

TDataSettingsScope::TDataSettingsScope(const TDataSettings &settings)
    : m_previous(currentSettings)
{
    currentSettings = &settings;
}

TDataSettingsScope::~TDataSettingsScope()
{
    currentSettings = m_previous;
}
