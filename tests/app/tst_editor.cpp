// The editor page driven as the operator drives it: clicks and keys on the named grids and
// buttons, files checked byte for byte.
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <sys/stat.h>

#include "drive.h"
#include "editor_fixture.h"
#include "project/textfile.h"

namespace CardCol = app::mGENERAL::CardCol;
namespace DatasetCol = app::mGENERAL::DatasetCol;
namespace TagCol = app::mGENERAL::TagCol;

using namespace drive;

class TestEditor : public QObject {
    Q_OBJECT
    EditorFixture fx;

    ui::Grid* grid(const char* name) const { return fx.w->findChild<ui::Grid*>(QLatin1String(name)); }
    QToolButton* cellButton(ui::Grid* g) const { return g->findChild<QToolButton*>(QStringLiteral("cellButton")); }
    QByteArray file(const QString& name) const { return readRaw(fx.data(name)); }

    // Card news: tags a (text), p (pic), q (PIC); datasets news_1 "One" and news_2 "Two".
    void newsProject()
    {
        fx.card(QStringLiteral("news"), {QStringLiteral("CARDTITLE:News"), QStringLiteral("TAG:A;a;0;text"),
                                         QStringLiteral("TAG:Picture;p;0;pic"), QStringLiteral("TAG:Other;q;0;PIC")});
        fx.dataset(QStringLiteral("news_1.ftd"), {QStringLiteral("TITLE~One"), QStringLiteral("TAG~a;one a"),
                                                  QStringLiteral("TAG~p;one.png"), QStringLiteral("TAG~q;")});
        fx.dataset(QStringLiteral("news_2.ftd"), {QStringLiteral("TITLE~Two"), QStringLiteral("TAG~a;two a"),
                                                  QStringLiteral("TAG~p;"), QStringLiteral("TAG~q;")});
        open();
    }
    void open()
    {
        fx.open();
        fx.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(fx.w.get()));
    }

private slots:
    void initTestCase() { fx.setUp(); }
    void init() { fx.start(); }
    void cleanup() { fx.stop(); }

    void selectingCards()
    {
        fx.card(QStringLiteral("alpha"), {QStringLiteral("CARDTITLE:Zulu"), QStringLiteral("TAG:X;x;0;text")});
        fx.card(QStringLiteral("beta"), {QStringLiteral("CARDTITLE:Yankee"), QStringLiteral("INVOKE:go"),
                                         QStringLiteral("TAG:Y;y;0;text")});
        fx.dataset(QStringLiteral("alpha_1.ftd"), {QStringLiteral("TITLE~A1"), QStringLiteral("TAG~x;1")});
        fx.dataset(QStringLiteral("alpha_2.ftd"), {QStringLiteral("TITLE~A2"), QStringLiteral("TAG~x;2")});
        fx.dataset(QStringLiteral("beta_1.ftd"), {QStringLiteral("TITLE~B1"), QStringLiteral("TAG~y;b")});
        open();
        ui::Grid* cards = grid("vsCARDS");
        click(cards, 2, CardCol::Title);
        QCOMPARE(fx.currentCard(), short(2));
        QCOMPARE(fx.currentCardFile(), QStringLiteral("beta"));
        QCOMPARE(fx.column(fx.vsDATASET(), DatasetCol::Description), QStringList{QStringLiteral("B1")});
        QCOMPARE(fx.column(fx.vsTAGS(), TagCol::Value), QStringList{QStringLiteral("b")});
        QCOMPARE(fx.invokes(), (QStringList{"Play", "Update", "go"}));

        // Back to alpha; choosing its second dataset and clicking the card again selects the first.
        click(cards, 1, CardCol::Title);
        click(grid("vsDATASET"), 2, DatasetCol::Description);
        QCOMPARE(fx.currentDataset(), QStringLiteral("alpha_2.ftd"));
        QCOMPARE(fx.column(fx.vsTAGS(), TagCol::Value), QStringList{QStringLiteral("2")});
        click(cards, 1, CardCol::FileName); // another column of the same row
        QCOMPARE(fx.currentDataset(), QStringLiteral("alpha_1.ftd"));
        QCOMPARE(fx.column(fx.vsTAGS(), TagCol::Value), QStringList{QStringLiteral("1")});

        // Sorted by title, Yankee (beta) comes first; the current row keeps alpha's datasets.
        clickHeader(cards, CardCol::Title);
        QCOMPARE(cards->textMatrix(1, CardCol::FileName), QStringLiteral("beta"));
        QCOMPARE(cards->row(), 2);
        QCOMPARE(fx.currentCard(), short(1));
        QCOMPARE(fx.currentDataset(), QStringLiteral("alpha_1.ftd"));
        // The keyboard moves the current row: the card there is selected by its hidden index.
        QTest::keyClick(cards, Qt::Key_Up);
        QCOMPARE(fx.currentCard(), short(2));
        QCOMPARE(fx.currentDataset(), QStringLiteral("beta_1.ftd"));
        QVERIFY2(fx.scope->script.reports.isEmpty(), qPrintable(fx.reports()));
    }

    // One action, one load, however many grid events it raises: the folder listed once, each
    // dataset file read once, the orphan question asked once (No holds for the whole action).
    void oneActionLoadsOnce()
    {
        fx.card(QStringLiteral("alpha"), {});
        fx.card(QStringLiteral("beta"), {QStringLiteral("TAG:Y;y;0;text")});
        fx.dataset(QStringLiteral("alpha_1.ftd"), {QStringLiteral("TITLE~A1"), QStringLiteral("TAG~gone;a")});
        fx.dataset(QStringLiteral("beta_1.ftd"), {QStringLiteral("TITLE~B1"), QStringLiteral("TAG~gone;b")});
        fx.dataset(QStringLiteral("beta_2.ftd"), {QStringLiteral("TITLE~B2"), QStringLiteral("TAG~y;2"),
                                                  QStringLiteral("TAG~gone;c")});
        open();
        QStringList& questions = fx.scope->script.questions;
        for (const int row : {2, 2}) { // another row (a row change and a click), then the same row
            questions.clear();
            const project::textfile::Counts before = project::textfile::counts();
            click(grid("vsCARDS"), row, CardCol::Title);
            QCOMPARE(project::textfile::counts().listings - before.listings, 1u);
            QCOMPARE(project::textfile::counts().reads - before.reads, 2u); // beta_1 and beta_2, once each
            QCOMPARE(questions.size(), 1);
            QVERIFY(questions.first().contains(QStringLiteral("gone = b")));
            QCOMPARE(fx.currentDataset(), QStringLiteral("beta_1.ftd"));
            QCOMPARE(fx.column(fx.vsDATASET(), DatasetCol::Description), (QStringList{"B1", "B2"}));
        }
        // Another dataset: its file read once, its question asked once; the tags show its values.
        questions.clear();
        const project::textfile::Counts before = project::textfile::counts();
        click(grid("vsDATASET"), 2, DatasetCol::Description);
        QCOMPARE(project::textfile::counts().listings - before.listings, 0u);
        QCOMPARE(project::textfile::counts().reads - before.reads, 1u);
        QCOMPARE(questions.size(), 1);
        QCOMPARE(fx.currentDataset(), QStringLiteral("beta_2.ftd"));
        QCOMPARE(fx.column(fx.vsTAGS(), TagCol::Value), QStringList{QStringLiteral("2")});
        // Yes removes the orphan: the file is written, and the action's loads after it read anew.
        fx.scope->script.yesNoAnswers = {true};
        questions.clear();
        click(grid("vsDATASET"), 1, DatasetCol::Description);
        QCOMPARE(questions.size(), 1);
        QCOMPARE(file(QStringLiteral("beta_1.ftd")), QByteArray("TITLE~B1\r\nTAG~y;\r\n"));
        QVERIFY2(fx.scope->script.reports.isEmpty(), qPrintable(fx.reports()));
    }

    void aProjectWithoutCards()
    {
        open();
        QCOMPARE(fx.vsCARDS()->rows(), 2);
        click(grid("vsCARDS"), 1, CardCol::Title);
        QCOMPARE(fx.currentCard(), short(1));
        QCOMPARE(fx.currentDataset(), QString());
        QTest::mouseClick(fx.cmdADDDATASET(), Qt::LeftButton); // no card: no dataset of no card
        QCOMPARE(QDir(fx.dataFolder()).entryList(QDir::Files), QStringList());
        QVERIFY2(fx.scope->script.reports.isEmpty(), qPrintable(fx.reports()));
    }

    void theFocusCue()
    {
        newsProject();
        for (const char* name : {"vsDATASET", "vsTAGS", "vsCARDS"}) {
            click(grid(name), 1, 1);
            for (const char* other : {"vsCARDS", "vsDATASET", "vsTAGS"})
                QCOMPARE(grid(other)->appearance(), qstrcmp(name, other) == 0 ? ui::Grid::Appearance::Sunken : ui::Grid::Appearance::Light);
        }
    }

    void choosingADataset()
    {
        newsProject();
        ui::Grid* datasets = grid("vsDATASET");
        QCOMPARE(fx.currentDataset(), QStringLiteral("news_1.ftd"));
        QTest::keyClick(datasets, Qt::Key_Down);
        QCOMPARE(fx.currentDataset(), QStringLiteral("news_2.ftd"));
        QCOMPARE(fx.vsTAGS()->textMatrix(1, TagCol::Value), QStringLiteral("two a"));
        // Descending by title: Two stays current and its tags stay shown.
        clickHeader(datasets, DatasetCol::Description);
        QCOMPARE(fx.column(datasets, DatasetCol::Description), (QStringList{"Two", "One"}));
        QCOMPARE(datasets->row(), 1);
        QCOMPARE(fx.currentDataset(), QStringLiteral("news_2.ftd"));
        QCOMPARE(fx.vsTAGS()->textMatrix(1, TagCol::Value), QStringLiteral("two a"));
        click(datasets, 2, DatasetCol::Description);
        QCOMPARE(fx.currentDataset(), QStringLiteral("news_1.ftd"));
        QCOMPARE(fx.vsTAGS()->textMatrix(1, TagCol::Value), QStringLiteral("one a"));
    }

    void editingSavesAtOnce()
    {
        newsProject();
        ui::Grid* tags = grid("vsTAGS");
        QVERIFY(edit(tags, 1, TagCol::Value, QStringLiteral("Γειά σου")));
        QCOMPARE(tags->textMatrix(1, TagCol::Value), QStringLiteral("Γειά σου"));
        QCOMPARE(file(QStringLiteral("news_1.ftd")),
                 QByteArray("TITLE~One\r\nTAG~a;\xc3\xe5\xe9\xdc \xf3\xef\xf5\r\nTAG~p;one.png\r\nTAG~q;\r\n"));
        // What goes on air next: the copy holds the new value.
        QCOMPARE(file(QStringLiteral("news_1.ft8")),
                 QStringLiteral("TITLE~One\r\nTAG~a;Γειά σου\r\nTAG~p;one.png\r\nTAG~q;\r\n").toUtf8());

        QVERIFY(edit(grid("vsDATASET"), 1, DatasetCol::Description, QStringLiteral("Πρώτο; νέο")));
        QCOMPARE(file(QStringLiteral("news_1.ft8")),
                 QStringLiteral("TITLE~Πρώτο; νέο\r\nTAG~a;Γειά σου\r\nTAG~p;one.png\r\nTAG~q;\r\n").toUtf8());
        QVERIFY2(fx.scope->script.reports.isEmpty(), qPrintable(fx.reports()));
        QVERIFY(fx.scope->script.messages.isEmpty());
    }

    void onlyTheValueAndTitleColumnsEdit_data()
    {
        QTest::addColumn<QString>("gridName");
        QTest::addColumn<int>("col");
        QTest::addColumn<bool>("editable");
        QTest::newRow("tag id") << "vsTAGS" << int(TagCol::Id) << false;
        QTest::newRow("tag type") << "vsTAGS" << int(TagCol::Type) << false;
        QTest::newRow("tag title") << "vsTAGS" << int(TagCol::Title) << false;
        QTest::newRow("tag value") << "vsTAGS" << int(TagCol::Value) << true;
        QTest::newRow("dataset title") << "vsDATASET" << int(DatasetCol::Description) << true;
        QTest::newRow("card title") << "vsCARDS" << int(CardCol::Title) << false;
    }
    void onlyTheValueAndTitleColumnsEdit()
    {
        QFETCH(QString, gridName);
        QFETCH(int, col);
        QFETCH(bool, editable);
        newsProject();
        ui::Grid* g = grid(qPrintable(gridName));
        click(g, 1, col);
        QTest::keyClick(g, Qt::Key_F2);
        QCOMPARE(editor(g) != nullptr, editable);
        QTest::keyClick(editor(g) ? static_cast<QWidget*>(editor(g)) : g, Qt::Key_Escape);
    }

    // TABs and "%1" in titles, ids and file names are text, never structure or a placeholder.
    void textLandsInItsCellWhole()
    {
#ifdef Q_OS_WIN
        const QString name = QStringLiteral("a%1b"); // a Windows file name holds no TAB
#else
        const QString name = QStringLiteral("a\tb");
#endif
        fx.card(name, {QStringLiteral("CARDTITLE:Save 10%1\tnow"), QStringLiteral("CHANNEL:3"),
                                          QStringLiteral("TAG:T%1;x%1;0;t%2")});
        fx.card(QStringLiteral("b"), {QStringLiteral("CARDTITLE:Other")});
        fx.dataset(name + QStringLiteral("_1.ftd"), {QStringLiteral("TITLE~Hour%1\tlate"), QStringLiteral("TAG~x%1;kept")});
        open();
        QCOMPARE(fx.vsCARDS()->textMatrix(1, CardCol::Title), QStringLiteral("Save 10%1\tnow"));
        QCOMPARE(fx.vsCARDS()->textMatrix(1, CardCol::FileName), name);
        QCOMPARE(fx.vsCARDS()->textMatrix(1, CardCol::ChannelLayer), QStringLiteral("3:0"));
        QCOMPARE(fx.vsDATASET()->textMatrix(1, DatasetCol::File), name + QStringLiteral("_1.ftd"));
        QCOMPARE(fx.vsDATASET()->textMatrix(1, DatasetCol::Description), QStringLiteral("Hour%1\tlate"));
        QCOMPARE(fx.column(fx.vsTAGS(), TagCol::Id), QStringList{"x%1"});
        QCOMPARE(fx.column(fx.vsTAGS(), TagCol::Type), QStringList{"t%2"});
        QCOMPARE(fx.column(fx.vsTAGS(), TagCol::Title), QStringList{"T%1"});
        QCOMPARE(fx.column(fx.vsTAGS(), TagCol::Value), QStringList{"kept"});
        QCOMPARE(fx.scope->script.questions, QStringList()); // no orphan offered for deletion
        click(fx.vsCARDS(), 2, CardCol::Title);
        QCOMPARE(fx.currentCardFile(), QStringLiteral("b"));
        click(fx.vsCARDS(), 1, CardCol::Title);
        QTest::mouseClick(fx.cmdADDDATASET(), Qt::LeftButton);
        QVERIFY(fx.currentDataset().startsWith(name + QStringLiteral("_")));
        QCOMPARE(fx.vsDATASET()->textMatrix(fx.vsDATASET()->row(), DatasetCol::Description), QStringLiteral("New dataset"));
        QVERIFY(fx.scope->script.reports.isEmpty());
    }

    void refusedCharacters_data()
    {
        QTest::addColumn<QString>("gridName");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept");
        QTest::newRow("; in a value") << "vsTAGS" << int(TagCol::Value) << "a;b" << "one a";
        QTest::newRow("~ in a value") << "vsTAGS" << int(TagCol::Value) << "a~b" << "one a";
        QTest::newRow("~ in a title") << "vsDATASET" << int(DatasetCol::Description) << "x~y" << "One";
    }
    void refusedCharacters()
    {
        QFETCH(QString, gridName);
        QFETCH(int, col);
        QFETCH(QString, text);
        QFETCH(QString, kept);
        newsProject();
        const QByteArray before = file(QStringLiteral("news_1.ftd"));
        const QByteArray copy = file(QStringLiteral("news_1.ft8")); // made when the card was listed
        QVERIFY(!copy.isEmpty());
        ui::Grid* g = grid(qPrintable(gridName));
        QVERIFY(edit(g, 1, col, text));
        QCOMPARE(fx.scope->script.messages.size(), 1);
        QVERIFY2(fx.scope->script.messages[0].contains(text.contains(QLatin1Char('~')) ? QStringLiteral("\"~\"") : QStringLiteral("\";\"")),
                 qPrintable(fx.scope->script.messages[0]));
        QCOMPARE(g->textMatrix(1, col), kept);
        QCOMPARE(file(QStringLiteral("news_1.ftd")), before);
        QCOMPARE(file(QStringLiteral("news_1.ft8")), copy);
        // The editor stays open with the refused text; corrected there, it is taken and saved.
        QLineEdit* open = editor(g);
        QVERIFY(open);
        QCOMPARE(open->text(), text);
        open->selectAll();
        type(open, QStringLiteral("fine"));
        QTest::keyClick(open, Qt::Key_Return);
        QVERIFY(!editor(g));
        QCOMPARE(g->textMatrix(1, col), QStringLiteral("fine"));
        QVERIFY(file(QStringLiteral("news_1.ftd")) != before);
    }

    // A dataset whose file could not be read for its tags is not written over by an edit.
    void anUnreadDatasetIsKept()
    {
        newsProject();
        const QString path = fx.data(QStringLiteral("news_2.ftd"));
        QVERIFY(QFile::remove(path));
#ifdef Q_OS_WIN
        QSKIP("Windows has no FIFO");
#else
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0); // a pipe since it was listed
#endif
        const QByteArray copy = file(QStringLiteral("news_2.ft8")); // made when the card was listed
        click(grid("vsDATASET"), 2, DatasetCol::Description);
        QCOMPARE(fx.scope->script.reports.size(), 1);
        QVERIFY(fx.reports().contains(QStringLiteral("not a regular file")));
        QVERIFY(edit(grid("vsTAGS"), 1, TagCol::Value, QStringLiteral("lost")));
        QCOMPARE(fx.scope->script.reports.size(), 2);
        QVERIFY2(fx.scope->script.reports[1].contains(QStringLiteral("news_2.ftd could not be read")), qPrintable(fx.reports()));
        QVERIFY(QFileInfo(path).exists() && !QFileInfo(path).isFile());
        QCOMPARE(file(QStringLiteral("news_2.ft8")), copy);
    }

    void thePictureButton()
    {
        newsProject();
        ui::Grid* tags = grid("vsTAGS");
        QToolButton* button = cellButton(tags);
        QVERIFY(button);
        click(tags, 1, TagCol::Title); // type text
        QVERIFY(!button->isVisible());
        QCOMPARE(tags->colComboList(TagCol::Value), QString());
        click(tags, 3, TagCol::Title); // type PIC: not a picture tag
        QVERIFY(!button->isVisible());
        button->click(); // even reached, it picks nothing for a tag that takes no picture
        QCOMPARE(fx.scope->script.filePicks, 0);

        click(tags, 2, TagCol::Title); // type pic
        QCOMPARE(tags->colComboList(TagCol::Value), QStringLiteral("..."));
        QVERIFY(button->isVisible());
        QVERIFY(tags->visualRect(tags->model()->index(1, TagCol::Value)).contains(button->geometry().center()));

        // Cancelled: nothing changes, nothing is written.
        const QByteArray before = file(QStringLiteral("news_1.ftd"));
        const QByteArray copy = file(QStringLiteral("news_1.ft8"));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(fx.scope->script.filePicks, 1);
        QCOMPARE(tags->textMatrix(2, TagCol::Value), QStringLiteral("one.png"));
        QCOMPARE(file(QStringLiteral("news_1.ftd")), before);
        QCOMPARE(file(QStringLiteral("news_1.ft8")), copy);

        // A path the file could not give back is refused like typed text.
        fx.scope->script.files.push_back(QStringLiteral("C:\\img\\a;b.png"));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(fx.scope->script.messages.size(), 1);
        QCOMPARE(file(QStringLiteral("news_1.ftd")), before);

        fx.scope->script.files.push_back(QStringLiteral("C:\\img\\logo.png"));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(tags->textMatrix(2, TagCol::Value), QStringLiteral("C:/img/logo.png"));
        QCOMPARE(file(QStringLiteral("news_1.ft8")),
                 QByteArray("TITLE~One\r\nTAG~a;one a\r\nTAG~p;C:/img/logo.png\r\nTAG~q;\r\n"));
        QVERIFY2(fx.scope->script.reports.isEmpty(), qPrintable(fx.reports()));
    }

    void addingDatasets()
    {
        newsProject();
        const QByteArray one = file(QStringLiteral("news_1.ftd"));
        QTest::mouseClick(fx.cmdADDDATASET(), Qt::LeftButton);
        const QString first = fx.currentDataset();
        QTest::mouseClick(fx.cmdADDDATASET(), Qt::LeftButton);
        const QString second = fx.currentDataset();
        QVERIFY(first != second);
        for (const QString& name : {first, second}) {
            QVERIFY2(name.startsWith(QStringLiteral("news_")) && name.endsWith(QStringLiteral(".ftd")), qPrintable(name));
            QCOMPARE(file(name), QByteArray("TITLE~New dataset\r\n"));
            QCOMPARE(file(QString(name).replace(QStringLiteral(".ftd"), QStringLiteral(".ft8"))), QByteArray("TITLE~New dataset\r\n"));
        }
        ui::Grid* datasets = grid("vsDATASET");
        QCOMPARE(fx.column(datasets, DatasetCol::Description), (QStringList{"One", "Two", "New dataset", "New dataset"}));
        QCOMPARE(datasets->row(), 4);
        QCOMPARE(datasets->textMatrix(4, DatasetCol::File), second);
        QCOMPARE(fx.column(fx.vsTAGS(), TagCol::Id), (QStringList{"a", "p", "q"}));
        QCOMPARE(fx.column(fx.vsTAGS(), TagCol::Value), (QStringList{"", "", ""}));
        QCOMPARE(file(QStringLiteral("news_1.ftd")), one);
        // The new dataset takes values like any other.
        QVERIFY(edit(grid("vsTAGS"), 1, TagCol::Value, QStringLiteral("fresh")));
        QCOMPARE(file(second), QByteArray("TITLE~New dataset\r\nTAG~a;fresh\r\nTAG~p;\r\nTAG~q;\r\n"));
        // The next listing has them too.
        click(grid("vsCARDS"), 1, CardCol::Title);
        QCOMPARE(fx.vsDATASET()->rows(), 5);
        QVERIFY2(fx.scope->script.reports.isEmpty(), qPrintable(fx.reports()));
    }

    void deletingDatasets()
    {
        newsProject();
        QVERIFY(QFile::exists(fx.data(QStringLiteral("news_1.ft8")))); // made when the card was listed
        QTest::mouseClick(fx.cmdDELETEDATASET(), Qt::LeftButton);
        QVERIFY(!QFile::exists(fx.data(QStringLiteral("news_1.ftd"))));
        QVERIFY(!QFile::exists(fx.data(QStringLiteral("news_1.ft8"))));
        QVERIFY(fx.scope->script.questions.isEmpty()); // no confirmation
        // The dataset that became current is selected, with its own values.
        QCOMPARE(fx.column(fx.vsDATASET(), DatasetCol::Description), QStringList{QStringLiteral("Two")});
        QCOMPARE(fx.currentDataset(), QStringLiteral("news_2.ftd"));
        QCOMPARE(fx.column(fx.vsTAGS(), TagCol::Value), (QStringList{"two a", "", ""}));
        // A title edit now writes that dataset whole and leaves the deleted one deleted.
        QVERIFY(edit(grid("vsDATASET"), 1, DatasetCol::Description, QStringLiteral("Still two")));
        QCOMPARE(file(QStringLiteral("news_2.ftd")), QByteArray("TITLE~Still two\r\nTAG~a;two a\r\nTAG~p;\r\nTAG~q;\r\n"));
        QVERIFY(!QFile::exists(fx.data(QStringLiteral("news_1.ftd"))));

        // The last one: both grids keep their header rows only, and nothing is current.
        QTest::mouseClick(fx.cmdDELETEDATASET(), Qt::LeftButton);
        QCOMPARE(fx.vsDATASET()->rows(), 1);
        QCOMPARE(fx.vsTAGS()->rows(), 1);
        QCOMPARE(fx.currentDataset(), QString());
        QCOMPARE(QDir(fx.dataFolder()).entryList(QDir::Files), QStringList());
        // Once more with nothing selected: nothing happens, nothing is reported.
        QTest::mouseClick(fx.cmdDELETEDATASET(), Qt::LeftButton);
        app::mGENERAL::SAVEDATASET(*fx.w, fx.currentDataset(), true);
        QCOMPARE(QDir(fx.dataFolder()).entryList(QDir::Files), QStringList());
        QVERIFY2(fx.scope->script.reports.isEmpty(), qPrintable(fx.reports()));
    }

    void deletingIgnoresItsErrors()
    {
        newsProject();
        QFile::remove(fx.data(QStringLiteral("news_1.ftd"))); // already gone, and no copy
        QTest::mouseClick(fx.cmdDELETEDATASET(), Qt::LeftButton);
        QVERIFY(fx.scope->script.reports.isEmpty());
        QCOMPARE(fx.column(fx.vsDATASET(), DatasetCol::Description), QStringList{QStringLiteral("Two")});
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
