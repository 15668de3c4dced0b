#pragma once

#include "core/audio/infosources.h"

class TMp3Track;

// The collection track that refers to a file, as an information source.
class TTrackInfo : public TTrackSource {
public:
    bool Enabled = false;
    TMp3Track *LinkedTrack = nullptr;  // not owned

    bool HasTrack() const { return LinkedTrack != nullptr; }
    bool Available() const override { return HasTrack() && Enabled; }

    std::optional<QString> GetText(TMergedField field) const override;
    std::optional<qint32> GetNumber(TMergedField field) const override;
    // The file was renamed: the linked track follows it.
    void SetFilePath(const QString &path) const;
};
