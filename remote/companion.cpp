#include "remote/companion.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <algorithm>
#include <utility>

namespace remote {

QList<QPair<QString, QString>> companionVariables(const Tally& tally)
{
    QList<QPair<QString, QString>> out{
        {QStringLiteral("plintor_cue_title"), tally.cueTitle},
        {QStringLiteral("plintor_cue_step"), tally.cueStepName},
        {QStringLiteral("plintor_cue_entry"), tally.cueEntry > 0 ? QString::number(tally.cueEntry) : QString()},
        {QStringLiteral("plintor_link"), tally.linkUp ? QStringLiteral("connected") : QStringLiteral("not connected")},
        {QStringLiteral("plintor_refusal"), tally.refusal},
    };
    for (int c = 0; c < int(tally.onAir.size()); ++c)
        out.append({QStringLiteral("plintor_onair_") + QString::number(c + 1), tally.onAir.at(c)});
    return out;
}

Companion::Companion(const Surface& surface, const QUrl& base, QObject* parent)
    : QObject(parent), surface_(surface), base_(base)
{
    network_.setTransferTimeout(kTimeoutMs);
    retry_.setInterval(kRetryMs);
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, [this] {
        for (const auto& [name, value] : companionVariables(surface_.tally())) {
            const Variable& variable = variables_[name];
            if (variable.failing) {
                if (!variable.inFlight)
                    post(name, value);
                return;
            }
        }
    });
}

void Companion::resendAll()
{
    for (Variable& variable : variables_)
        variable.taken.reset();
    changed();
}

void Companion::changed()
{
    for (const auto& [name, value] : companionVariables(surface_.tally())) {
        Variable& variable = variables_[name];
        if (variable.inFlight) {
            variable.waiting = value;
            continue;
        }
        if (variable.taken != value)
            post(name, value);
    }
}

void Companion::post(const QString& name, QString value)
{
    Variable& variable = variables_[name];
    variable.inFlight = true;
    variable.waiting.reset();
    QUrl url = base_;
    url.setPath(base_.path().chopped(base_.path().endsWith(QLatin1Char('/')) ? 1 : 0) +
                QStringLiteral("/api/custom-variable/") + name + QStringLiteral("/value"));
    // Companion trims the body and takes an empty one for no value at all; an empty text goes
    // as the query's value, which it reads first.
    if (value.isEmpty())
        url.setQuery(QStringLiteral("value="));
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("text/plain; charset=utf-8"));
    QNetworkReply* reply = network_.post(request, value.toUtf8());
    connect(reply, &QNetworkReply::finished, this, [this, reply, name, value] {
        reply->deleteLater();
        QString error;
        if (reply->error() != QNetworkReply::NoError)
            error = reply->errorString();
        finished(name, value, error);
    });
}

void Companion::finished(const QString& name, const QString& value, const QString& error)
{
    Variable& variable = variables_[name];
    variable.inFlight = false;
    if (!error.isEmpty()) {
        variable.taken.reset(); // sent again at the next change
        variable.waiting.reset();
        // Once for a failing Companion, not once per variable or per change.
        if (!variable.failing && std::none_of(variables_.cbegin(), variables_.cend(),
                                              [](const Variable& v) { return v.failing; }))
            emit failed(QStringLiteral("Companion: %1 not set (%2)").arg(name, error));
        variable.failing = true;
        retry_.start();
        return;
    }
    variable.taken = value;
    if (std::exchange(variable.failing, false)) {
        // Back after a failure: a restarted Companion has none of the variables but this one.
        for (Variable& other : variables_)
            if (&other != &variable) {
                other.failing = false;
                other.taken.reset();
            }
        variable.waiting.reset();
        changed();
        return;
    }
    const std::optional<QString> next = std::exchange(variable.waiting, std::nullopt);
    if (next && next != value)
        post(name, *next);
}

} // namespace remote
