// Printing a folder of addresses on 3 × 8 label sheets into one PDF file
// with the built program's command line, as a user would run it:
//
//   tesmar-newdb envdb.mdb
//   tesmar-datagen --addresses N --folders 1 envdb.mdb
//   tesmar --print labels --folder / --subfolders --size "Avery Zweckform 3474 Labels 70 x 37 mm, 24 per sheet"
//          --style Standard --pdf labels.pdf
//
// in a temporary folder. Prints the wall time and the peak memory (maximum
// resident set) of the printing run, and checks them against the goals of
// 10 s and 300 MB. Usage: bench_labels [ADDRESSES] (default 10000).
#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

struct RunResult {
    int exitCode = -1;
    double seconds = 0;
    long peakKb = 0;
};

// Runs a program in `dir` with the environment plus QT_QPA_PLATFORM=offscreen
// and returns its exit code, wall time and maximum resident set.
RunResult run(const QString &program, const QStringList &args, const QString &dir)
{
    RunResult r;
    std::vector<QByteArray> storage;
    storage.push_back(program.toLocal8Bit());
    for (const QString &a : args)
        storage.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &b : storage)
        argv.push_back(b.data());
    argv.push_back(nullptr);

    std::vector<QByteArray> envStorage;
    for (char **e = environ; *e; ++e)
        if (qstrncmp(*e, "QT_QPA_PLATFORM=", 16) != 0)
            envStorage.emplace_back(*e);
    envStorage.emplace_back("QT_QPA_PLATFORM=offscreen");
    std::vector<char *> envp;
    for (QByteArray &b : envStorage)
        envp.push_back(b.data());
    envp.push_back(nullptr);

    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data());
    QDir::setCurrent(previous);
    if (spawned != 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[0]);
        return r;
    }
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) < 0)
        return r;
    r.seconds = timer.nsecsElapsed() / 1e9;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.peakKb = usage.ru_maxrss; // kilobytes on Linux
    return r;
}

} // namespace

int main(int argc, char **argv)
{
    const long addresses = argc > 1 ? std::atol(argv[1]) : 10000;
    const QString bin = QStringLiteral(CORVELLE_BIN_DIR);
    const QString tesmar = bin + QStringLiteral("/tesmar");
    for (const QString &p : {tesmar, bin + QStringLiteral("/tesmar-newdb"), bin + QStringLiteral("/tesmar-datagen")})
        if (!QFileInfo(p).isExecutable()) {
            std::fprintf(stderr, "bench_labels: %s is not built\n", qPrintable(p));
            return 1;
        }

    QTemporaryDir dir;
    const QString db = QStringLiteral("envdb.mdb");
    if (run(bin + QStringLiteral("/tesmar-newdb"), {db}, dir.path()).exitCode != 0)
        return 1;
    const RunResult generated = run(bin + QStringLiteral("/tesmar-datagen"),
                                    {QStringLiteral("--addresses"), QString::number(addresses),
                                     QStringLiteral("--folders"), QStringLiteral("1"), db},
                                    dir.path());
    if (generated.exitCode != 0)
        return 1;

    const QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
    const RunResult printed =
        run(tesmar,
            {QStringLiteral("--print"), QStringLiteral("labels"), QStringLiteral("--folder"), QStringLiteral("/"),
             QStringLiteral("--subfolders"), QStringLiteral("--size"), QStringLiteral("Avery Zweckform 3474 Labels 70 x 37 mm, 24 per sheet"),
             QStringLiteral("--style"), QStringLiteral("Standard"), QStringLiteral("--pdf"), pdf},
            dir.path());
    const long sheets = (addresses + 23) / 24;
    std::printf("labels: %ld addresses on %ld sheets of 3 x 8 labels to PDF (%.1f MB): %.2f s, peak %.1f MB "
                "(goals: 10 s, 300 MB)\n",
                addresses, sheets, QFileInfo(pdf).size() / 1048576.0, printed.seconds, printed.peakKb / 1024.0);
    if (printed.exitCode != 0) {
        std::fprintf(stderr, "bench_labels: tesmar exited with %d\n", printed.exitCode);
        return 1;
    }
    const bool met = printed.seconds < 10.0 && printed.peakKb < 300L * 1024;
    if (!met)
        std::printf("labels: goal NOT met\n");
    return met ? 0 : 1;
}
