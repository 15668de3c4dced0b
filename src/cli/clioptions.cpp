#include "cli/clioptions.h"

const CliOptions::Option *CliOptions::find(const QString &arg) const
{
    for (const Option &option : m_options)
        if (arg == option.name || (!option.alias.isEmpty() && arg == option.alias))
            return &option;
    return nullptr;
}

QString CliOptions::parse(const QStringList &args)
{
    bool optionsEnded = false;
    for (int i = 0; i < args.size(); ++i) {
        QString arg = args.at(i);
        if (optionsEnded || !arg.startsWith(QLatin1Char('-')) || arg.size() == 1) {
            m_positional.append(arg);
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            m_help = true;
            continue;
        }
        QString inlineValue;
        const qsizetype equals = arg.indexOf(QLatin1Char('='));
        const bool hasInlineValue = arg.startsWith(QLatin1String("--")) && equals > 0;
        if (hasInlineValue) {
            inlineValue = arg.mid(equals + 1);
            arg.truncate(equals);
        }
        const Option *option = find(arg);
        if (!option)
            return QStringLiteral("unknown option '%1'").arg(arg);
        if (!option->takesValue) {
            if (hasInlineValue)
                return QStringLiteral("%1 takes no value").arg(arg);
            m_values[option->name];
            continue;
        }
        if (!hasInlineValue) {
            if (++i >= args.size())
                return QStringLiteral("%1 needs a value").arg(arg);
            inlineValue = args.at(i);
        }
        m_values[option->name].append(inlineValue);
    }
    return QString();
}

QString CliOptions::value(const QString &name, const QString &fallback) const
{
    const QStringList given = m_values.value(name);
    return given.isEmpty() ? fallback : given.last();
}
