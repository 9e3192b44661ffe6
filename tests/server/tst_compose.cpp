// The template-data document and the AMCP lines, byte for byte.
#include <QTest>

#include "fault/runtimeerror.h"
#include "monitor/tokenizer.h"
#include "server/compose.h"

using server::compose::Inputs;

namespace {

struct Def {
    const char* id;
    const char* type;
    short ani;
};

server::compose::Tags tags(std::initializer_list<Def> defs)
{
    server::compose::Tags t;
    size_t slot = 1;
    for (const Def& d : defs) {
        t[slot].Id = QString::fromUtf8(d.id);
        t[slot].Type = QString::fromUtf8(d.type);
        t[slot].Ani = d.ani;
        ++slot;
    }
    return t;
}

QList<QByteArray> lines(const QByteArray& text) { return text.split('\n'); }

// The card of the worked example: project demo, template lower3rd, channel 1, layer 20, tag f0.
Inputs lower3rd(const QString& action, const QByteArray& copy = "TITLE~Greeting\nTAG~f0;Hello")
{
    Inputs in;
    in.channel = 1;
    in.layer = 20;
    in.projectName = QStringLiteral("demo");
    in.fileName = QStringLiteral("lower3rd");
    in.tags = tags({{"f0", "txt", 0}});
    in.copyLines = lines(copy);
    in.action = action;
    return in;
}

const QByteArray kChannel1 =
    R"(<componentData id=\"cg_channel\"><data type=\"txt\" ani=\"0\" value=\"1\"></data></componentData>)";

QByteArray doc(const QByteArray& components) { return "<templateData>" + kChannel1 + components + "</templateData>"; }

QByteArray f0(const QByteArray& value, const QByteArray& type = "txt", const QByteArray& ani = "0")
{
    return R"(<componentData id=\"f0\"><data type=\")" + type + R"(\" ani=\")" + ani + R"(\" value=\")" + value +
           R"(\"></data></componentData>)";
}

} // namespace

class TestCompose : public QObject {
    Q_OBJECT
private slots:
    void theWorkedExample()
    {
        QCOMPARE(server::compose::line(lower3rd(QStringLiteral("Play"))),
                 QByteArray(R"(CG 1-20 ADD 1 "demo/lower3rd" 1 "<templateData><componentData id=\"cg_channel\">)"
                            R"(<data type=\"txt\" ani=\"0\" value=\"1\"></data></componentData><componentData id=\"f0\">)"
                            R"(<data type=\"txt\" ani=\"0\" value=\"Hello\"></data></componentData></templateData>")"
                            "\r\n"));
        QCOMPARE(server::compose::line(lower3rd(QStringLiteral("Update"))),
                 "CG 1-20 UPDATE 1 \"" + doc(f0("Hello")) + "\"\r\n");
    }

    void theActionChoosesTheLine_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("command");
        QTest::addColumn<short>("channel");
        QTest::addColumn<short>("layer");
        QTest::addColumn<QByteArray>("expected");
        const QString none;
        const QByteArray add = "ADD 1 \"demo/lower3rd\" 1 \"" + doc(f0("Hello")) + "\"\r\n";
        QTest::newRow("play, any case") << "pLAY" << none << short(1) << short(20) << "CG 1-20 " + add;
        QTest::newRow("update, any case") << "UPDATE" << none << short(1) << short(20)
                                          << "CG 1-20 UPDATE 1 \"" + doc(f0("Hello")) + "\"\r\n";
        QTest::newRow("invoke: no closing quote") << "NextStep" << none << short(1) << short(20)
                                                  << QByteArray("CG 1-20 INVOKE 1 \"NextStep\r\n");
        QTest::newRow("invoke of an empty name") << "" << none << short(1) << short(20)
                                                 << QByteArray("CG 1-20 INVOKE 1 \"\r\n");
        QTest::newRow("invoke name to UTF-8") << "Έξοδος" << none << short(1) << short(20)
                                              << "CG 1-20 INVOKE 1 \"" + QStringLiteral("Έξοδος").toUtf8() + "\r\n";
        QTest::newRow("negative numbers") << "out" << none << short(-1) << short(-32768)
                                          << QByteArray("CG -1--32768 INVOKE 1 \"out\r\n");
        QTest::newRow("custom, placeholders everywhere")
            << "custom" << "PLAY {@CHANNEL}-{@LAYER} AMB; MIXER {@CHANNEL}-{@LAYER} OPACITY 1 {@LAYER}" << short(2)
            << short(7) << QByteArray("PLAY 2-7 AMB; MIXER 2-7 OPACITY 1 7\r\n");
        QTest::newRow("custom, case-sensitive placeholders") << "Custom" << "CLEAR {@channel}-{@Layer}" << short(2)
                                                             << short(7) << QByteArray("CLEAR {@channel}-{@Layer}\r\n");
        QTest::newRow("custom without placeholders")
            << "Custom" << "PLAY 1-1 \"clip\" LOOP" << short(2) << short(7) << QByteArray("PLAY 1-1 \"clip\" LOOP\r\n");
        QTest::newRow("custom to UTF-8") << "CUSTOM" << "PLAY {@CHANNEL}-{@LAYER} \"ειδήσεις\"" << short(1)
                                         << short(10) << "PLAY 1-10 \"" + QStringLiteral("ειδήσεις").toUtf8() + "\"\r\n";
    }
    void theActionChoosesTheLine()
    {
        QFETCH(QString, action);
        QFETCH(QString, command);
        QFETCH(short, channel);
        QFETCH(short, layer);
        QFETCH(QByteArray, expected);
        Inputs in = lower3rd(action);
        in.command = command;
        in.channel = channel;
        in.layer = layer;
        QCOMPARE(server::compose::line(in), expected);
    }

    // The clears, read back as the server reads them: one command word and one target.
    void clearLines()
    {
        QCOMPARE(server::compose::clearLine(2), QByteArray("CLEAR 2\r\n"));
        QCOMPARE(server::compose::clearLine(1, 20), QByteArray("CLEAR 1-20\r\n"));
        QCOMPARE(server::compose::clearLine(-3, 0), QByteArray("CLEAR -3-0\r\n"));
        QCOMPARE(monitor::parameters(server::compose::clearLine(1, 20).chopped(2)), (QList<QByteArray>{"CLEAR", "1-20"}));
        QCOMPARE(monitor::parameters(server::compose::clearLine(4).chopped(2)), (QList<QByteArray>{"CLEAR", "4"}));
    }

    void theTemplateData_data()
    {
        QTest::addColumn<QByteArray>("copy");
        QTest::addColumn<QByteArray>("components");
        const QByteArray other = R"(<componentData id=\"f1\"><data type=\"img\" ani=\"1\" value=\"b.png\"></data></componentData>)";
        QTest::newRow("title line only") << QByteArray("TITLE~t") << QByteArray();
        QTest::newRow("no line matches a tag") << QByteArray("TITLE~t\nTAG~zz;1\nTAG~F0;2") << QByteArray();
        QTest::newRow("file order, unknown ids left out")
            << QByteArray("TAG~f1;b.png\nTAG~x;1\nTAG~f0;a") << other + f0("a");
        QTest::newRow("a repeated id gives two components") << QByteArray("TAG~f0;a\nTAG~f0;b") << f0("a") + f0("b");
        QTest::newRow("other keys and cases skipped") << QByteArray("tag~f0;a\nTAGS~f0;b\n\nX~TAG") << QByteArray();
        QTest::newRow("value cut at ; and ~") << QByteArray("TAG~f0;a;b~c\nTAG~f0;d~e;f") << f0("a") + f0("d");
        QTest::newRow("empty value") << QByteArray("TAG~f0;") << f0("");
        QTest::newRow("an empty id matches no empty slot") << QByteArray("TAG~;v") << QByteArray();
        QTest::newRow("apostrophe") << QByteArray("TAG~f0;O'Brien") << f0("O&apos;Brien");
        QTest::newRow("ampersand, angles, quote")
            << QByteArray("TAG~f0;Tom & Jerry <b>\"x\"</b>") << f0("Tom &amp; Jerry &lt;b&gt;&quot;x&quot;&lt;/b&gt;");
        QTest::newRow("backslashes doubled") << QByteArray(R"(TAG~f0;C:\clips\)") << f0(R"(C:\\clips\\)");
        QTest::newRow("controls XML cannot carry left out") << QByteArray("TAG~f0;a\x01" "b\tc\x7f") << f0("ab&#9;c\x7f");
        QTest::newRow("malformed UTF-8 as U+FFFD") << QByteArray("TAG~f0;\xC3(") << f0("\xEF\xBF\xBD(");
        QTest::newRow("UTF-8 bytes as they are") << QStringLiteral("TAG~f0;Καλησπέρα €").toUtf8()
                                                 << f0(QStringLiteral("Καλησπέρα €").toUtf8());
        QTest::newRow("U+FEFF kept, leading or not") << QByteArray("TAG~f0;\xEF\xBB\xBF" "a\xEF\xBB\xBF\xC3(")
                                                     << f0("\xEF\xBB\xBF" "a\xEF\xBB\xBF\xEF\xBF\xBD(");
        QTest::newRow("a character beyond the BMP") << QByteArray("TAG~f0;\xF0\x9F\x98\x80\x01")
                                                    << f0("\xF0\x9F\x98\x80");
    }
    void theTemplateData()
    {
        QFETCH(QByteArray, copy);
        QFETCH(QByteArray, components);
        const server::compose::Tags t = tags({{"f0", "txt", 0}, {"", "txt", 0}, {"f1", "img", 1}});
        QCOMPARE(server::compose::templateData(1, t, copy.split('\n')), doc(components));
    }

    void idsAndTypesAreEscapedAndUtf8()
    {
        server::compose::Tags t = tags({{"a'b", "t<x>", -2}, {"όνομα", "κείμενο", 0}});
        t[3] = project::TAGDEF{QString(), QString(QChar(0xFEFF)), 0, QString(QChar(0xFEFF))}; // a U+FEFF id and type
        QCOMPARE(server::compose::templateData(3, t, lines("TAG~a'b;1\nTAG~όνομα;Νίκος\nTAG~\xEF\xBB\xBF;")),
                 R"(<templateData><componentData id=\"cg_channel\"><data type=\"txt\" ani=\"0\" value=\"3\">)"
                 R"(</data></componentData><componentData id=\"a&apos;b\"><data type=\"t&lt;x&gt;\" ani=\"-2\" )"
                 R"(value=\"1\"></data></componentData><componentData id=\")" +
                     QStringLiteral("όνομα").toUtf8() + R"(\"><data type=\")" + QStringLiteral("κείμενο").toUtf8() +
                     R"(\" ani=\"0\" value=\")" + QStringLiteral("Νίκος").toUtf8() +
                     R"(\"></data></componentData><componentData id=\")" "\xEF\xBB\xBF" R"(\"><data type=\")" "\xEF\xBB\xBF" R"(\" )"
                     R"(ani=\"0\" value=\"\"></data></componentData></templateData>)");
    }

    void theTemplatePathIsQuotedSafely()
    {
        Inputs in = lower3rd(QStringLiteral("Play"), "TITLE~t");
        in.projectName = QStringLiteral("Ειδήσεις \"7\"");
        in.fileName = QStringLiteral("a\\b");
        QCOMPARE(server::compose::line(in), "CG 1-20 ADD 1 \"" + QStringLiteral("Ειδήσεις").toUtf8() +
                                        R"( \"7\"/a\\b" 1 ")" + doc("") + "\"\r\n");
    }

    // Read back by the server's own rules, every quoted parameter is the text as typed.
    void theServerReadsTheTextAsTyped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << "Evening news";
        QTest::newRow("backslash n") << R"(C:\new)";
        QTest::newRow("backslash c") << R"(C:\clips)";
        QTest::newRow("ending in a backslash") << R"(dir\)";
        QTest::newRow("double quotes") << R"(say "hi" \")";
    }
    void theServerReadsTheTextAsTyped()
    {
        QFETCH(QString, text);
        Inputs in = lower3rd(QStringLiteral("Play"), "TAG~f0;" + text.toUtf8());
        in.projectName = text;
        in.fileName = text;
        QList<QByteArray> add = monitor::parameters(server::compose::line(in).chopped(2));
        QCOMPARE(add.size(), 7);
        QCOMPARE(add[4], (text + QLatin1Char('/') + text).toUtf8());
        QVERIFY(add[6].endsWith("<componentData id=\"f0\"><data type=\"txt\" ani=\"0\" value=\"" +
                                server::compose::xmlEscaped(text.toUtf8()) + "\"></data></componentData></templateData>"));
        in.action = text;
        if (server::compose::kindOf(text) == server::compose::Kind::Invoke)
            QCOMPARE(monitor::parameters(server::compose::line(in).chopped(2)).last(), text.toUtf8());
    }

    // A line break would end the command early and start another one.
    void aLineBreakInAnyFieldComposesNothing_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("action");
        QTest::newRow("project name") << "project name" << "Play";
        QTest::newRow("card file name") << "card file name" << "Play";
        QTest::newRow("custom command") << "custom command" << "Custom";
        QTest::newRow("invoke name") << "invoke name" << "Out\r\nCLEAR 1";
        QTest::newRow("tag id") << "tag id" << "Update";
        QTest::newRow("tag type") << "tag type" << "Update";
        QTest::newRow("tag value") << "tag value" << "Play";
    }
    void aLineBreakInAnyFieldComposesNothing()
    {
        QFETCH(QString, field);
        QFETCH(QString, action);
        Inputs in = lower3rd(action);
        const QString injected = QStringLiteral("x\r\nCLEAR 1");
        if (field == QLatin1String("project name"))
            in.projectName = injected;
        if (field == QLatin1String("card file name"))
            in.fileName = QStringLiteral("x\n");
        if (field == QLatin1String("custom command"))
            in.command = injected;
        if (field == QLatin1String("tag id")) {
            in.tags[1].Id = QStringLiteral("f0\r");
            in.copyLines = {"TAG~f0\r;v"};
        }
        if (field == QLatin1String("tag type"))
            in.tags[1].Type = QStringLiteral("txt\n");
        if (field == QLatin1String("tag value"))
            in.copyLines = {"TAG~f0;a\rb"};
        try {
            server::compose::line(in);
            QFAIL("composed");
        } catch (const fault::RuntimeError& e) {
            QCOMPARE(e.number, 5);
            QVERIFY2(e.description.contains(QStringLiteral("the ") + field + QStringLiteral(" holds a line break")),
                     qPrintable(e.description));
        }
    }

    void malformedTagLinesFail_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("says");
        QTest::newRow("no ~") << QByteArray("TAG") << "no \"~\" after TAG (news_1.ft8, line 2)";
        QTest::newRow("no ;") << QByteArray("TAG~f0") << "no \";\" after the tag id (news_1.ft8, line 2)";
        QTest::newRow("nothing after ~") << QByteArray("TAG~") << "no \";\" after the tag id (news_1.ft8, line 2)";
    }
    void malformedTagLinesFail()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, says);
        Inputs in = lower3rd(QStringLiteral("update"), "TITLE~t\n" + line);
        in.copy = QStringLiteral("news_1.ft8");
        try {
            server::compose::line(in);
            QFAIL("no failure");
        } catch (const fault::RuntimeError& e) {
            QCOMPARE(e.number, 9);
            QVERIFY2(e.description.endsWith(says), qPrintable(e.description));
        }
        // Lines that carry no template data never look at the copy.
        in.action = QStringLiteral("Custom");
        QCOMPARE(server::compose::line(in), QByteArray("\r\n"));
        in.action = QStringLiteral("go");
        QCOMPARE(server::compose::line(in), QByteArray("CG 1-20 INVOKE 1 \"go\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestCompose)
#include "tst_compose.moc"
