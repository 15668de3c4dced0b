#pragma once

#include "core/files/shellstuff.h"

#include <QFileIconProvider>

class TdmGlobal;

// The disk explorer's folder icons from the desktop's icon theme, added to
// the shared image lists once per distinct icon.
class TDesktopFileIcons final : public TFileIconProvider {
public:
    explicit TDesktopFileIcons(TdmGlobal &global) : m_global(global) {}

    int IconIndex(const QString &path, TIconKind kind) override;

private:
    QIcon iconOf(const QString &path, bool isFolder) const;

    TdmGlobal &m_global;
    QFileIconProvider m_provider;
};
