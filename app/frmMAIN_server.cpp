// The server link's handlers and the on-air commands.
#include "app/frmMAIN.h"
#include "app/mGENERAL.h"
#include "fault/trap.h"
#include "server/cardline.h"
#include "ui/colors.h"
#include "ui/dispatch.h"

namespace app {

namespace {
constexpr const char* kModule = "frmMAIN";
constexpr int LINE_BASE = fault::linebase::frmMAIN_server;
} // namespace

void frmMAIN::createServerControls()
{
    wsGASPAR = new server::Link(QStringLiteral("wsGASPAR"), this);
    Engine = new playlist::Engine(s, Playlist, *wsGASPAR, this);
    ShowLinkState();
}

void frmMAIN::connectServerHandlers()
{
    connect(cmdGASPARCONNECT, &QPushButton::clicked, this,
            [this] { ui::dispatch([this] { cmdGASPARCONNECT_Click(); }); });
    connect(tmrCASPAR, &QTimer::timeout, this, [this] { ui::dispatchTick([this] { tmrCASPAR_Timer(); }); });
    connect(cmdAIR, &QPushButton::clicked, this, [this] { ui::dispatch([this] { cmdAIR_Click(); }); });
    connect(cmbINVOKES, &QListWidget::itemDoubleClicked, this, [this] { ui::dispatch([this] { cmbINVOKES_DblClick(); }); });
    // Neither opens a box nor can fail: they run even while a box waits, so no answer is lost.
    connect(wsGASPAR, &server::Link::stateChanged, this, &frmMAIN::ShowLinkState);
    connect(wsGASPAR, &server::Link::answered, this, &frmMAIN::wsGASPAR_Answered);
}

void frmMAIN::cmdGASPARCONNECT_Click()
{
    ARM_TRAP();
    if (cmdGASPARCONNECT->tag == QLatin1String("connect")) {
        STEP(wsGASPAR->Connect(txtGASPARIP->text(), txtGASPARPORT->text()));
        cmdGASPARCONNECT->setBackColor(ui::palette::LinkUp);
        cmdGASPARCONNECT->setText(QStringLiteral("Disconnect"));
        cmdGASPARCONNECT->tag = QStringLiteral("disconnect");
        tmrCASPAR->setEnabled(true);
    } else {
        STEP(wsGASPAR->Close());
        cmdGASPARCONNECT->setBackColor(ui::palette::LinkIdle);
        cmdGASPARCONNECT->setText(QStringLiteral("Connect"));
        cmdGASPARCONNECT->tag = QStringLiteral("connect");
        tmrCASPAR->setEnabled(false);
    }
}

void frmMAIN::tmrCASPAR_Timer()
{
    ARM_TRAP();
    if (wsGASPAR->State() != server::Link::Connected) {
        if (BlinkPhase == 0) {
            cmdGASPARCONNECT->setBackColor(ui::palette::LinkBlink);
            ++BlinkPhase;
        } else {
            cmdGASPARCONNECT->setBackColor(ui::palette::LinkIdle);
            BlinkPhase = 0;
        }
    } else {
        cmdGASPARCONNECT->setBackColor(ui::palette::LinkUp);
    }
}

void frmMAIN::cmdAIR_Click()
{
    ARM_TRAP();
    QString action;
    const project::CARD* card = nullptr;
    QByteArray line;
    bool sent = false;

    // The line's kind comes from the chosen action; with none chosen there is nothing to send.
    if (cmbINVOKES->currentRow() < 0)
        return;
    action = cmbINVOKES->entry(cmbINVOKES->currentRow());
    // An empty invoke name (a card's "INVOKE:next;") names no function: the server would refuse
    // the line, so it is not sent, as the playlist sends no empty step.
    if (action.isEmpty())
        return;
    // Values that could not be read are not sent as empty ones.
    if (!STEP(card = &mGENERAL::CardRecord(s, Doc.card())))
        return;
    if (!STEP(line = server::compose::cardLine(*card, card->Channel, s.ProjectName, s.DataFolder, Doc.dataset(), action)))
        return;
    // The editor's line marks no cell, but whatever showed on its layer shows no longer.
    if (!STEP(sent = Engine->send(playlist::RunningOrder::kEditor, 0, {card->Channel, card->Layer}, line)) || !sent)
        return;
    txtCOMMAND->setText(QString::fromUtf8(line));
}

void frmMAIN::cmbINVOKES_DblClick()
{
    ARM_TRAP();
    cmdAIR_Click();
}

void frmMAIN::wsGASPAR_Answered(const server::Answer& answer, quint64 ticket, const QByteArray& line)
{
    Q_UNUSED(ticket);
    // A refusal is shown; the engine has already taken its line out of the marks.
    if (!answer.refusal())
        return;
    QByteArray refused = line;
    if (refused.isEmpty() && answer.code == 400 && !answer.data.isEmpty())
        refused = answer.data.first();
    sbSTATUS->showRefusal(QString::fromUtf8(answer.status), QString::fromUtf8(refused));
    LastRefusal = ui::StatusBar::cut(QString::fromUtf8(answer.status));
    RemoteChanged();
}

void frmMAIN::ShowLinkState()
{
    const QString where = QStringLiteral("%1:%2").arg(wsGASPAR->host()).arg(wsGASPAR->port());
    switch (wsGASPAR->State()) {
    case server::Link::Connected: sbSTATUS->showLink(QStringLiteral("Connected to ") + where); break;
    case server::Link::ResolvingHost:
    case server::Link::Connecting: sbSTATUS->showLink(QStringLiteral("Connecting to ") + where + QChar(0x2026)); break;
    case server::Link::Failed:
    case server::Link::ClosedByPeer:
        sbSTATUS->showLink(QStringLiteral("Not connected: ") + wsGASPAR->errorString());
        break;
    default: sbSTATUS->showLink(QStringLiteral("Not connected")); break;
    }
}

} // namespace app
