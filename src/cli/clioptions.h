#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The options of one command: flags ("--fuzzy") and options that take a
// value ("--field NAME", also "--field=NAME"), with the other arguments kept
// in order as positional ones.  "--help" and "-h" are always known.
class CliOptions {
public:
    struct Option {
        QString name;         // "--field"
        bool takesValue = false;
        QString alias;        // "-o", or empty
    };

    explicit CliOptions(QList<Option> options) : m_options(std::move(options)) {}

    // An empty string when the arguments are fine, else the complaint.
    QString parse(const QStringList &args);

    bool help() const { return m_help; }
    bool isSet(const QString &name) const { return m_values.contains(name); }
    // The last value given for the option, or fallback.
    QString value(const QString &name, const QString &fallback = QString()) const;
    // Every value given for the option, in order.
    QStringList values(const QString &name) const { return m_values.value(name); }
    const QStringList &positional() const { return m_positional; }

private:
    const Option *find(const QString &arg) const;

    QList<Option> m_options;
    QHash<QString, QStringList> m_values;
    QStringList m_positional;
    bool m_help = false;
};
