// A file on show changed on disk by another program: how long after the
// change the view painted the new text (the watch's quiet time, the load and
// the first frame together). Saves the file as editors do, a new file renamed
// over the old one, ROUNDS times.
//   lumivane_reload_probe FILE [ROUNDS]

#include "bench/app/PaintWatch.h"
#include "bench/app/ProbeWindow.h"
#include "viewer/Application.h"
#include "viewer/Main.h"
#include "viewer/RichEdit.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

QByteArray ReadAll(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void SaveByRename(const QString& name, const QByteArray& content) {
    QFile file(name + ".new");
    if (file.open(QIODevice::WriteOnly)) {
        file.write(content);
        file.close();
        QFile::remove(name);
        QFile::rename(name + ".new", name);
    }
}

} // namespace

int main(int argc, char** argv) {
    TApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: lumivane_reload_probe FILE [ROUNDS]\n");
        return 2;
    }
    const QString file = QString::fromLocal8Bit(argv[1]);
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    const QByteArray original = ReadAll(file);
    TfrmMain window({});
    AnswerOpenWith(window, file);

    QElapsedTimer sinceChange;
    int round = 0;
    int lengthBefore = 0;
    qint64 longest = 0;
    qint64 total = 0;
    TPaintWatch watch;
    std::function<void()> change = [&] {
        lengthBefore = window.SourceView1->TextLength();
        // One more comment line at the top each round: the text is longer.
        SaveByRename(file, "{ round " + QByteArray::number(round + 1) + " }\n" + ReadAll(file));
        sinceChange.start();
    };
    watch.onPaint = [&] {
        if (!sinceChange.isValid() || window.SourceView1->TextLength() == lengthBefore) {
            return;
        }
        const qint64 took = sinceChange.elapsed();
        sinceChange.invalidate();
        std::printf("round %d: new text painted %lld ms after the change\n", round + 1,
                    static_cast<long long>(took));
        longest = std::max(longest, took);
        total += took;
        if (++round < rounds) {
            QTimer::singleShot(300, change);
        } else {
            window.close();
        }
    };
    window.SourceView1->viewport()->installEventFilter(&watch);
    QTimer::singleShot(300, [&] {
        window.tbOpenClick();
        QTimer::singleShot(300, change);
    });
    window.show();
    const int status = application.exec();
    SaveByRename(file, original);
    std::printf("file %s, %.1f MB: %d reloads, longest %lld ms, mean %lld ms\n", argv[1],
                static_cast<double>(original.size()) / (1024.0 * 1024.0), round,
                static_cast<long long>(longest),
                static_cast<long long>(round > 0 ? total / round : 0));
    return status;
}
