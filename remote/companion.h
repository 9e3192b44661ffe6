#pragma once
// Companion's custom variables, set over its HTTP API so that button texts show the cue and
// what is on air: POST URL/api/custom-variable/NAME/value with the text as the body.
#include <QHash>
#include <QList>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPair>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <optional>

#include "remote/surface.h"

namespace remote {

/// The variables and their texts, from a tally, in a fixed order: plintor_cue_title,
/// plintor_cue_step, plintor_cue_entry, plintor_link, plintor_refusal, plintor_onair_1 to _4.
QList<QPair<QString, QString>> companionVariables(const Tally& tally);

/// Keeps Companion's variables up to date without ever waiting for it: at most one request per
/// variable in flight, and only the latest text waits behind it.
class Companion : public QObject {
    Q_OBJECT
public:
    Companion(const Surface& surface, const QUrl& base, QObject* parent = nullptr);

    /// The running order or the link changed: each variable whose text differs from the last one
    /// Companion took is sent, and so is each one whose last request failed. When Companion
    /// answers after failing or not answering, every variable is sent again.
    void changed();
    /// Every variable again, whatever Companion was sent: it keeps no custom variable over a
    /// restart. At a state request, and by itself when Companion answers after having failed.
    void resendAll();

    /// A request not answered in this time counts as failed.
    static constexpr int kTimeoutMs = 3000;
    /// While Companion fails, one variable is tried again this often, to learn that it is back.
    static constexpr int kRetryMs = 1000;

signals:
    /// A request failed while no other variable was failing: "Companion: plintor_cue_title not
    /// set (Connection refused)". A variable is said once until it goes through again.
    void failed(const QString& text);

private:
    struct Variable {
        std::optional<QString> taken;   // what Companion has, as far as is known
        bool inFlight = false;
        std::optional<QString> waiting; // the latest text, behind the one in flight
        bool failing = false;           // its last request failed, and that was said
    };
    void post(const QString& name, QString value);
    void finished(const QString& name, const QString& value, const QString& error);

    const Surface& surface_;
    QUrl base_;
    QNetworkAccessManager network_;
    QHash<QString, Variable> variables_;
    QTimer retry_;
};

} // namespace remote
