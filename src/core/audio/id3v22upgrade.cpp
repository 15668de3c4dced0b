#include "core/audio/id3v22upgrade.h"

#include "core/audio/id3v2tag.h"

#include <QHash>

namespace {

const QHash<QByteArray, QByteArray> &v23Ids()
{
    static const QHash<QByteArray, QByteArray> ids = {
        {"BUF", "RBUF"}, {"CNT", "PCNT"}, {"COM", "COMM"}, {"CRA", "AENC"}, {"ETC", "ETCO"},
        {"EQU", "EQUA"}, {"GEO", "GEOB"}, {"IPL", "IPLS"}, {"MCI", "MCDI"}, {"MLL", "MLLT"},
        {"PIC", "APIC"}, {"POP", "POPM"}, {"REV", "RVRB"}, {"RVA", "RVAD"}, {"SLT", "SYLT"},
        {"STC", "SYTC"}, {"TAL", "TALB"}, {"TBP", "TBPM"}, {"TCM", "TCOM"}, {"TCO", "TCON"},
        {"TCR", "TCOP"}, {"TDA", "TDAT"}, {"TDY", "TDLY"}, {"TEN", "TENC"}, {"TFT", "TFLT"},
        {"TIM", "TIME"}, {"TKE", "TKEY"}, {"TLA", "TLAN"}, {"TLE", "TLEN"}, {"TMT", "TMED"},
        {"TOA", "TOPE"}, {"TOF", "TOFN"}, {"TOL", "TOLY"}, {"TOR", "TORY"}, {"TOT", "TOAL"},
        {"TP1", "TPE1"}, {"TP2", "TPE2"}, {"TP3", "TPE3"}, {"TP4", "TPE4"}, {"TPA", "TPOS"},
        {"TPB", "TPUB"}, {"TRC", "TSRC"}, {"TRD", "TRDA"}, {"TRK", "TRCK"}, {"TSI", "TSIZ"},
        {"TSS", "TSSE"}, {"TT1", "TIT1"}, {"TT2", "TIT2"}, {"TT3", "TIT3"}, {"TXT", "TEXT"},
        {"TXX", "TXXX"}, {"TYE", "TYER"}, {"UFI", "UFID"}, {"ULT", "USLT"}, {"WAF", "WOAF"},
        {"WAR", "WOAR"}, {"WAS", "WOAS"}, {"WCM", "WCOM"}, {"WCP", "WCOP"}, {"WPB", "WPUB"},
        {"WXX", "WXXX"},
        // Written by a popular player into its v2.2 tags.
        {"TCP", "TCMP"}, {"TS2", "TSO2"}, {"TSA", "TSOA"}, {"TSC", "TSOC"}, {"TSP", "TSOP"},
        {"TST", "TSOT"},
    };
    return ids;
}

// v2.2 pictures name their format in three letters where v2.3 wants a MIME
// type: encoding, format, picture type, description, data.
QByteArray pictureData(const QByteArray &pic)
{
    if (pic.size() < 5)
        return pic;
    const QByteArray format = pic.mid(1, 3);
    QByteArray mime;
    if (format.toUpper() == "JPG")
        mime = "image/jpeg";
    else if (format == "-->")
        mime = format;  // a link, spelled the same in both versions
    else
        mime = "image/" + format.toLower();
    return pic.left(1) + mime + '\0' + pic.mid(4);
}

} // namespace

bool upgradeV22Frames(TID3FrameList &frames)
{
    bool complete = true;
    for (int i = 0; i < frames.count(); ++i) {
        TID3Frame *frame = frames.at(i);
        const auto id = v23Ids().constFind(frame->FrameID);
        if (id == v23Ids().constEnd()) {
            complete = false;
            continue;
        }
        if (frame->FrameID == "PIC")
            frame->setData(pictureData(frame->Data));
        frame->FrameID = *id;
        frame->StatusFlags = 0;
        frame->FormatFlags = 0;
    }
    frames.setMajorVersion(3);
    return complete;
}
