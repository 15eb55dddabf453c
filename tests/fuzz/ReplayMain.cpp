// Replays saved fuzz inputs (files, or every file of a folder) through the
// fuzz target, so the corpus runs as an ordinary test with the normal compiler.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    QStringList inputs;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(argument).isDir()) {
            const QDir dir(argument);
            for (const QString &name : dir.entryList(QDir::Files, QDir::Name))
                inputs << dir.filePath(name);
        } else {
            inputs << argument;
        }
    }
    if (inputs.isEmpty()) {
        std::fprintf(stderr, "usage: %s CORPUS-FOLDER|FILE...: no inputs found\n", argv[0]);
        return 1;
    }
    for (const QString &input : inputs) {
        QFile file(input);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(input));
            return 1;
        }
        const QByteArray bytes = file.readAll();
        std::printf("%s (%lld bytes)\n", qPrintable(QFileInfo(input).fileName()), static_cast<long long>(bytes.size()));
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
    }
    std::printf("replayed %lld inputs\n", static_cast<long long>(inputs.size()));
    return 0;
}
