// The operator's actions on a studio-sized project, each timed against its floor: the same file
// work done with the cheapest calls (readdir for the folder, open, read and close for each file). Generates the project
// itself and prints, for each operation, its median, the floor's median and their ratio, then
// the peak resident size.
//
// bench_studio [cards [tags [datasets-per-card [playlist-entries [runs]]]]]
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include "app/frmMAIN.h"
#include "app/mGENERAL.h"
#include "drive.h"
#include "project/datasetfile.h"
#include "scripted.h"
#include "settings.h"
#include "ui/application.h"
#include "ui/dispatch.h"

namespace fs = std::filesystem;

namespace {

struct Sizes {
    int cards = 1000;
    int tags = 50;
    int datasets = 20; // per card
    int entries = 2000;
    int runs = 9;
};

// ---- The project ----------------------------------------------------------------------------

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
        std::exit(1);
    }
    std::fclose(file);
}

std::string cardName(int c)
{
    char name[16];
    std::snprintf(name, sizeof name, "card%04d", c);
    return name;
}

struct Project {
    fs::path cards;
    fs::path data;
    std::vector<std::string> datasets; // dataset file names, by card then dataset
};

Project generate(const fs::path& home, const Sizes& n)
{
    Project p{home / "studio", home / "data" / "studio", {}};
    // Named as new datasets are, from a fixed seed: every run generates the same project.
    QRandomGenerator names(20240601);
    fs::create_directories(p.cards);
    fs::create_directories(p.data);
    for (int c = 0; c < n.cards; ++c) {
        std::string card = "TYPE:CARD\r\nCARDTITLE:Card " + std::to_string(c) + "\r\nCHANNEL:1\r\nLAYER:" +
                           std::to_string(c % 100) + "\r\nINVOKE:in;out\r\n";
        for (int t = 1; t <= n.tags; ++t)
            card += "TAG:Field " + std::to_string(t) + ";f" + std::to_string(t) + ";0;text\r\n";
        writeFile(p.cards / (cardName(c) + ".fti"), card);
        for (int d = 0; d < n.datasets; ++d) {
            const int serial = c * n.datasets + d;
            std::string lines = "TITLE~Title " + std::to_string((serial * 7919) % (n.cards * n.datasets)) + "\r\n";
            for (int t = 1; t <= n.tags; ++t)
                lines += "TAG~f" + std::to_string(t) + ";value " + std::to_string(t) + " of " + std::to_string(serial) +
                         "\r\n";
            const std::string name = cardName(c) + "_" + project::datasetfile::randomString(8, names).toStdString();
            writeFile(p.data / (name + ".ftd"), lines);
            writeFile(p.data / (name + ".ft8"), lines); // ASCII: the UTF-8 copy has the same bytes
            p.datasets.push_back(name + ".ftd");
        }
    }
    std::string playlist;
    for (int e = 0; e < n.entries; ++e)
        playlist += p.datasets[size_t(e) * 37 % p.datasets.size()] + "\r\n";
    writeFile(p.data / "playlist.dat", playlist);
    p.datasets = {}; // written out: not the program's memory
    return p;
}

// ---- The floor: the cheapest calls there are -----------------------------------------------

volatile size_t sink = 0; // keeps the floor's reads from being optimised away

// Each name of the folder as readdir gives it: the floor keeps no list of its own, so that its
// memory does not count as the program's.
template <class Visit> void forEachName(const fs::path& folder, Visit&& visit)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir))
        visit(std::string_view(entry->d_name));
    ::closedir(dir);
}

// The file read whole with open, read and close, into buffer when one is given.
size_t readWhole(const fs::path& path, std::string* bytes = nullptr)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    char buffer[65536];
    size_t total = 0;
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;) {
        total += size_t(got);
        if (bytes)
            bytes->append(buffer, size_t(got));
    }
    ::close(fd);
    sink = sink + total;
    return total;
}

bool endsWith(std::string_view s, std::string_view end) { return s.size() >= end.size() && s.substr(s.size() - end.size()) == end; }

// Lists the data folder and reads the datasets of card c.
void floorOfCard(const Project& p, int c)
{
    const std::string prefix = cardName(c) + "_";
    forEachName(p.data, [&](std::string_view name) {
        if (name.substr(0, prefix.size()) == prefix && endsWith(name, ".ftd"))
            readWhole(p.data / name);
    });
}

// ---- Measuring ------------------------------------------------------------------------------

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double msOf(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

struct Figure {
    const char* operation;
    double ms;
    double floorMs;
    double target;    // the ratio's
    double targetMs;  // the median's, where the time itself is the target; 0 where not
};

double peakResidentMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // KiB on Linux
}

} // namespace

/// A control of the window, found by its name.
template <class T> T* control(const QWidget& window, const char* name) { return window.findChild<T*>(QLatin1String(name)); }

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::setupApplication();
    Sizes n;
    int* fields[] = {&n.cards, &n.tags, &n.datasets, &n.entries, &n.runs};
    for (int i = 1; i < argc && i <= 5; ++i)
        *fields[i - 1] = std::max(1, std::atoi(argv[i]));
    n.cards = std::max(n.cards, 2);
    n.datasets = std::max(n.datasets, 2);

    QTemporaryDir home;
    redirectSettings(home.filePath(QStringLiteral("config")));
    const Project p = generate(fs::path(home.path().toStdString()), n);
    const QString projectFolder = QString::fromStdString(p.cards.string());

    app::Options options;
    options.dataRoot = home.filePath(QStringLiteral("data"));
    app::frmMAIN w(options);
    // The window is driven as the operator does: its controls found by name, the picker answered.
    ScriptScope answers;
    ui::Grid* const vsCARDS = control<ui::Grid>(w, "vsCARDS");
    ui::Grid* const vsDATASET = control<ui::Grid>(w, "vsDATASET");
    ui::Grid* const vsPLAYLIST = control<ui::Grid>(w, "vsPLAYLIST");
    ui::TabControl* const tbMAIN = control<ui::TabControl>(w, "tbMAIN");
    QPushButton* const cmdGASPARCONNECT = control<QPushButton>(w, "cmdGASPARCONNECT");
    QAction* const mnuOPEN = control<QAction>(w, "mnuOPEN");
    const auto open = [&] {
        answers.script.folders.push_back(projectFolder);
        mnuOPEN->trigger();
    };
    w.show();
    if (!QTest::qWaitForWindowExposed(&w)) {
        std::fprintf(stderr, "the window did not come up\n");
        return 1;
    }
    std::vector<Figure> figures;
    std::vector<double> op;
    std::vector<double> floor;
    const auto record = [&](const char* name, double target, double targetMs = 0) {
        figures.push_back({name, median(op), median(floor), target, targetMs});
        op.clear();
        floor.clear();
    };

    // Open the project: the cards read, the first card's datasets listed, its first dataset's tags.
    for (int r = 0; r < n.runs; ++r) {
        op.push_back(msOf(open));
        floor.push_back(msOf([&] {
            for (int c = 0; c < n.cards; ++c)
                readWhole(p.cards / (cardName(c) + ".fti"));
            floorOfCard(p, 0);
        }));
    }
    record("open the project", 1.5);

    // Click another card: rows 2, 3, ... of the rows in view, each unlike the one before.
    const int cardRows = std::min(n.cards, 12);
    for (int r = 0; r < n.runs; ++r) {
        const int row = 2 + r % (cardRows - 1);
        const int card = vsCARDS->rowKey(row).toInt() - 1;
        op.push_back(msOf([&] { drive::click(vsCARDS, row, app::mGENERAL::CardCol::Title); }));
        floor.push_back(msOf([&] { floorOfCard(p, card); }));
    }
    record("click another card", 2.0);

    // Click another dataset of the card shown.
    const int datasetRows = std::min(vsDATASET->rows() - 1, 12);
    for (int r = 0; r < n.runs; ++r) {
        const int row = 2 + r % (datasetRows - 1);
        const QString file = vsDATASET->textMatrix(row, app::mGENERAL::DatasetCol::File);
        op.push_back(msOf([&] { drive::click(vsDATASET, row, app::mGENERAL::DatasetCol::Description); }));
        floor.push_back(msOf([&] { readWhole(p.data / file.toStdString()); }));
    }
    record("click another dataset", 2.0);

    // Switch to "Play list": the tree rebuilt and, with the grid emptied as a new project leaves
    // it, the playlist loaded.
    for (int r = 0; r < n.runs; ++r) {
        open(); // untimed: the project opened again leaves the playlist unloaded, on "Editor"
        op.push_back(msOf([&] { tbMAIN->setTab(1); }));
        floor.push_back(msOf([&] {
            forEachName(p.data, [&](std::string_view name) {
                if (endsWith(name, ".ftd"))
                    readWhole(p.data / name);
            });
            std::string lines;
            readWhole(p.data / "playlist.dat", &lines);
            size_t start = 0;
            for (size_t end = lines.find("\r\n"); end != std::string::npos; end = lines.find("\r\n", start)) {
                readWhole(p.data / lines.substr(start, end - start));
                start = end + 2;
            }
        }));
    }
    record("switch to \"Play list\"", 1.5);

    // Back and forth as the operator goes during a show, the running order loaded: from editing a
    // dataset back to "Play list" after nothing, one dataset or every dataset was changed by
    // another program (a second Plintor on the folder: each dataset with its copy).
    const auto rewrite = [&](const std::string& file, int serial) {
        std::string bytes;
        readWhole(p.data / file, &bytes);
        bytes.replace(0, bytes.find("\r\n"), "TITLE~Changed " + std::to_string(serial));
        writeFile(p.data / file, bytes);
        std::string copy = file;
        copy.replace(copy.size() - 4, 4, ".ft8");
        writeFile(p.data / copy, bytes);
    };
    std::vector<std::string> datasets;
    forEachName(p.data, [&](std::string_view name) {
        if (endsWith(name, ".ftd"))
            datasets.emplace_back(name);
    });
    std::sort(datasets.begin(), datasets.end());
    tbMAIN->setTab(0);
    tbMAIN->setTab(1); // the running order loaded, the titles known
    const auto switchBack = [&](const char* name, double target, double targetMs, const std::function<void(int)>& change,
                                const std::function<void(int)>& floorWork) {
        for (int r = 0; r < n.runs; ++r) {
            tbMAIN->setTab(0);
            change(r);
            op.push_back(msOf([&] { tbMAIN->setTab(1); }));
            floor.push_back(msOf([&] { floorWork(r); }));
        }
        record(name, target, targetMs);
    };
    // The floor of a switch where nothing changed: the folder's names read once.
    const auto listData = [&] { forEachName(p.data, [&](std::string_view name) { sink = sink + name.size(); }); };
    switchBack("switch, nothing changed", 0, 16, [](int) {}, [&](int) { listData(); });
    int serial = 0;
    switchBack("switch, one changed", 0, 16, [&](int r) { rewrite(datasets[size_t(r * 101) % datasets.size()], ++serial); },
               [&](int r) {
                   listData();
                   readWhole(p.data / datasets[size_t(r * 101) % datasets.size()]);
               });
    switchBack("switch, all changed", 1.3, 0,
               [&](int) {
                   ++serial;
                   for (const std::string& file : datasets)
                       rewrite(file, serial);
               },
               [&](int) {
                   forEachName(p.data, [&](std::string_view name) {
                       if (endsWith(name, ".ftd"))
                           readWhole(p.data / name);
                   });
               });

    // Fire one step to a loopback server: from a press on the "Play" cell of an entry in view
    // until the server has the whole line; the floor reads the copy and writes it to a plain socket.
    // The server runs on a thread of its own, as the playout server runs beside the program: the
    // time is the time to air, and the grid repaints once the line is out.
    QThread serverThread;
    serverThread.start();
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    server.moveToThread(&serverThread);
    // When the last bytes came in, on one clock for both threads: what the program does after
    // the line is out (showing it in the command box, say) is not time to air.
    QElapsedTimer clock;
    clock.start();
    std::atomic<qint64> received{0};
    std::atomic<qint64> arrivedNs{0};
    QObject::connect(&server, &QTcpServer::newConnection, &server, [&] {
        while (QTcpSocket* peer = server.nextPendingConnection())
            QObject::connect(peer, &QTcpSocket::readyRead, peer, [&, peer] {
                const qint64 got = peer->readAll().size();
                arrivedNs = clock.nsecsElapsed();
                received += got;
            });
    });
    const auto toAir = [&](const std::function<void()>& work) {
        const qint64 start = clock.nsecsElapsed();
        work();
        return double(arrivedNs - start) / 1e6;
    };
    const auto waitFor = [&](qint64 total) {
        QElapsedTimer limit;
        limit.start();
        while (received < total && limit.elapsed() < 5000)
            std::this_thread::yield();
    };
    control<QLineEdit>(w, "txtGASPARPORT")->setText(QString::number(server.serverPort()));
    QTest::mouseClick(cmdGASPARCONNECT, Qt::LeftButton);
    if (!QTest::qWaitFor([&] { return control<server::Link>(w, "wsGASPAR")->State() == server::Link::Connected; }, 5000))
        std::fprintf(stderr, "the link did not connect\n");
    QTcpSocket plain;
    plain.connectToHost(QHostAddress::LocalHost, server.serverPort());
    plain.waitForConnected(5000);
    QTest::qWait(50);
    const int entryRows = std::min(vsPLAYLIST->rows() - 1, 12);
    const auto fire = [&](int row) {
        const QPoint at = drive::cellPoint(vsPLAYLIST, row, app::mGENERAL::PlaylistCol::Steps);
        QTest::mousePress(vsPLAYLIST->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(vsPLAYLIST->viewport(), Qt::LeftButton, {}, at);
    };
    const auto settle = [] {
        QCoreApplication::processEvents(QEventLoop::AllEvents); // the repaint, untimed
        QTest::qWait(20);
    };
    for (int r = 0; r < n.runs; ++r) {
        const int row = 1 + r % entryRows;
        const qint64 before = received;
        fire(row); // once untimed, to learn the length of the line
        waitFor(before + 1);
        settle();
        const qint64 length = received - before;
        const qint64 start = received;
        op.push_back(toAir([&] {
            fire(row);
            waitFor(start + length);
        }));
        settle();
        const QString copy = QString(vsPLAYLIST->textMatrix(row, app::mGENERAL::PlaylistCol::DatasetFile)).replace(".ftd", ".ft8");
        const qint64 plainStart = received;
        floor.push_back(toAir([&] {
            std::string bytes;
            readWhole(p.data / copy.toStdString(), &bytes);
            plain.write(bytes.data(), qint64(bytes.size()));
            plain.flush();
            waitFor(plainStart + qint64(bytes.size()));
        }));
        settle();
    }
    serverThread.quit();
    serverThread.wait();
    record("fire one step", 1.5);

    std::printf("project: %d cards x %d tags, %d datasets per card (%d files in the data folder), %d playlist "
                "entries; medians of %d runs\n",
                n.cards, n.tags, n.datasets, n.cards * n.datasets * 2 + 1, n.entries, n.runs);
    std::printf("%-24s %10s %10s %7s %7s\n", "operation", "median ms", "floor ms", "ratio", "target");
    bool allMet = true;
    for (const Figure& f : figures) {
        const double ratio = f.floorMs > 0 ? f.ms / f.floorMs : 0;
        const bool met = f.targetMs > 0 ? f.ms <= f.targetMs : ratio <= f.target;
        allMet = allMet && met;
        if (f.targetMs > 0)
            std::printf("%-24s %10.2f %10.2f %7.2f %5s %.0f ms %s\n", f.operation, f.ms, f.floorMs, ratio, "<=", f.targetMs,
                        met ? "met" : "NOT met");
        else
            std::printf("%-24s %10.2f %10.2f %7.2f %5s %.1f %s\n", f.operation, f.ms, f.floorMs, ratio, "<=", f.target,
                        met ? "met" : "NOT met");
    }
    const double peak = peakResidentMiB();
    std::printf("peak resident size: %.1f MiB (target 64 MiB: %s)\n", peak, peak <= 64 ? "met" : "NOT met");
    std::printf("%s\n", allMet ? "all targets met" : "some targets not met");
    std::fflush(stdout);
    // The link closes before the window goes; the generated project goes with its folder.
    QTest::mouseClick(cmdGASPARCONNECT, Qt::LeftButton);
    return 0;
}
