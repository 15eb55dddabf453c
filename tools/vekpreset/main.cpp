#include "Commands.h"

#include <QString>
#include <QStringList>

#include <cstdio>

namespace {

const char usageText[] = "usage: vekpreset build SQLFILE OUT.preset [--force]\n"
                         "       vekpreset dump FILE.preset\n"
                         "       vekpreset encrypt IN OUT [--force]\n"
                         "       vekpreset decrypt IN OUT [--force]\n"
                         "       vekpreset check FILE.preset\n"
                         "\n"
                         "build    creates a preset by running the SQL text; versions above 8 are\n"
                         "         encrypted with the preset key, older ones are written plain\n"
                         "dump     prints the schema and every row as SQL text that build accepts\n"
                         "encrypt  writes an encrypted copy of a plain file\n"
                         "decrypt  writes a plain copy of an encrypted preset\n"
                         "check    prints the version, the encryption and SQLite's integrity check\n"
                         "\n"
                         "Outputs are never overwritten without --force. Exit codes: 0 success,\n"
                         "1 failure, 2 wrong usage.\n";

int usage(const char *problem)
{
    if (problem)
        std::fprintf(stderr, "vekpreset: %s\n", problem);
    std::fputs(usageText, stderr);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return usage("no command given");
    const QString command = QString::fromLocal8Bit(argv[1]);
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        std::fputs(usageText, stdout);
        return 0;
    }

    bool force = false;
    QStringList arguments;
    for (int i = 2; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == QLatin1String("--force"))
            force = true;
        else if (argument.startsWith(QLatin1String("--")))
            return usage(QStringLiteral("unknown option %1").arg(argument).toLocal8Bit().constData());
        else
            arguments.append(argument);
    }

    const auto expect = [&](int count) { return arguments.size() == count; };
    if (command == QLatin1String("build") && expect(2))
        return Commands::build(arguments[0], arguments[1], force);
    if (command == QLatin1String("encrypt") && expect(2))
        return Commands::encrypt(arguments[0], arguments[1], force);
    if (command == QLatin1String("decrypt") && expect(2))
        return Commands::decrypt(arguments[0], arguments[1], force);
    if (command == QLatin1String("dump") && expect(1) && !force)
        return Commands::dump(arguments[0]);
    if (command == QLatin1String("check") && expect(1) && !force)
        return Commands::check(arguments[0]);

    const QStringList known = {QStringLiteral("build"), QStringLiteral("dump"), QStringLiteral("encrypt"),
        QStringLiteral("decrypt"), QStringLiteral("check")};
    if (!known.contains(command))
        return usage(QStringLiteral("unknown command %1").arg(command).toLocal8Bit().constData());
    return usage(QStringLiteral("wrong arguments for %1").arg(command).toLocal8Bit().constData());
}
