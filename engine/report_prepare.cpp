#include "engine/report_prepare.h"

#include "engine/band_engine.h"
#include "engine/preview_pages.h"
#include "engine/report.h"
#include "engine/resources.h"
#include "platform/erro/Erro.h"

#include <QBuffer>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

TfrxPreviewHost &previewHost()
{
    static TfrxPreviewHost host;
    return host;
}

std::function<void(const QString &, const QString &)> &errorBox()
{
    static std::function<void(const QString &, const QString &)> box;
    return box;
}

TfrxSilentMode silentMode(const TfrxReport *report)
{
    if (report->EngineOptions.SilentMode)
        return simSilent;
    return report->EngineOptions.NewSilentMode;
}

}  // namespace

void frxReportErrors(TfrxReport *report)
{
    const QString text = frxGet(QStringLiteral("clErrors")) + QStringLiteral("\r\n")
                         + report->Errors().join(QStringLiteral("\r\n"));
    switch (silentMode(report)) {
    case simSilent:
        return;
    case simReThrow:
        throw Erro(text);
    case simMessageBoxes:
        if (errorBox())
            errorBox()(frxGet(QStringLiteral("mbError")), text);
        else
            std::fprintf(stderr, "%s\n", text.toUtf8().constData());
        return;
    }
}

namespace {

// The report script runs no code of its own: only an empty main block is accepted, anything
// else is an error rather than silently skipped statements.
bool scriptIsEmpty(const QStringList &script, QString &problem)
{
    QString text = script.join(QLatin1Char('\n'));
    text.remove(QRegularExpression(QStringLiteral("//[^\\n]*")));
    text.remove(QRegularExpression(QStringLiteral("\\{[^}]*\\}")));
    text.remove(QRegularExpression(QStringLiteral("\\(\\*.*?\\*\\)"),
                                   QRegularExpression::DotMatchesEverythingOption));
    const QString compact = text.simplified().toLower();
    if (compact.isEmpty() || compact == QLatin1String("begin end.") || compact == QLatin1String("begin end"))
        return true;
    problem = QStringLiteral("o script do relatório só pode ter um bloco principal vazio");
    return false;
}

// The report as it was before the run, held in memory or in a temporary file.
class SavedReport {
public:
    explicit SavedReport(TfrxReport *report) : FReport(report)
    {
        if (report->EngineOptions.UseFileCache) {
            const QString dir = report->EngineOptions.TempDir.isEmpty() ? QDir::tempPath()
                                                                        : report->EngineOptions.TempDir;
            auto file = std::make_unique<QTemporaryFile>(dir + QStringLiteral("/frXXXXXX"));
            if (file->open())
                FStream = std::move(file);
        }
        if (!FStream) {
            auto buffer = std::make_unique<QBuffer>();
            buffer->open(QIODevice::ReadWrite);
            FStream = std::move(buffer);
        }
        FPassword = report->ReportOptions.Password;
        FPrintOptions = report->PrintOptions;
        report->ReportOptions.Password.clear();
        try {
            report->SaveToStream(FStream.get());
        } catch (...) {
            report->ReportOptions.Password = FPassword;
            throw;
        }
        report->ReportOptions.Password = FPassword;
    }

    void Restore()
    {
        const QStringList errors = FReport->Errors();
        FStream->seek(0);
        FReport->LoadFromStream(FStream.get());
        FReport->ReportOptions.Password = FPassword;
        FReport->PrintOptions = FPrintOptions;
        FReport->ClearErrors();
        for (const QString &e : errors)
            FReport->AddError(e);
    }

private:
    TfrxReport *FReport;
    std::unique_ptr<QIODevice> FStream;
    QString FPassword;
    TfrxPrintOptions FPrintOptions;
};

}  // namespace

TfrxPreviewPages &frxPreparedPages(TfrxReport *report)
{
    auto *pages = dynamic_cast<TfrxPreviewPages *>(report->PreviewPages);
    if (!pages)
        throw Erro(QStringLiteral("O relatório %1 não tem páginas preparadas.").arg(report->Name()));
    return *pages;
}

bool frxPrepareReport(TfrxReport *report, bool clearLastReport)
{
    TfrxPreviewPages &pages = frxPreparedPages(report);
    if (clearLastReport)
        pages.Clear();
    report->ClearErrors();
    report->Terminated = false;

    bool result = false;
    if (report->CheckDataSets()) {
        std::unique_ptr<SavedReport> saved;
        try {
            if (report->EngineOptions.DestroyForms)
                saved = std::make_unique<SavedReport>(report);

            QString problem;
            report->ClearExpressionCache();
            if (!scriptIsEmpty(report->ScriptText, problem)) {
                report->AddError(frxGet(QStringLiteral("clScrError")).arg(QStringLiteral("1:1"), problem));
            } else if (!report->Terminated) {
                TfrxEngine engine(report, &pages);
                report->Engine = &engine;
                struct Detach {
                    TfrxReport *r;
                    ~Detach() { r->Engine = nullptr; }
                } detach{report};
                if (engine.Run())
                    result = true;
                else if (previewHost().Close)
                    previewHost().Close(report);
            }
        } catch (const Erro &e) {
            report->AddError(e.mensagem());
        } catch (const std::exception &e) {
            report->AddError(QString::fromUtf8(e.what()));
        }
        if (saved) {
            try {
                saved->Restore();
            } catch (const Erro &e) {
                report->AddError(e.mensagem());
            }
        }
    }

    if (!report->Errors().isEmpty()) {
        result = false;
        frxReportErrors(report);
    }
    return result;
}

void frxShowReport(TfrxReport *report, bool clearLastReport)
{
    TfrxPreviewPages &pages = frxPreparedPages(report);
    if (clearLastReport)
        pages.Clear();

    TfrxPreviewHost &host = previewHost();
    if (!report->OldStyleProgress) {
        if (!host.Show) {
            // Nothing to show the pages in: prepare them where the preview would have.
            frxPrepareReport(report, false);
            return;
        }
        // The timer lives only as long as the (modal) window, so it cannot fire for a report
        // that is gone.
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [report, &timer] {
            timer.stop();
            frxPrepareReport(report, false);
        });
        timer.start(50);
        host.Show(report);
        return;
    }
    if (!frxPrepareReport(report, false))
        return;
    if (host.Show)
        host.Show(report);
}

void frxSetPreviewHost(TfrxPreviewHost host)
{
    previewHost() = std::move(host);
}

void frxSetErrorBox(std::function<void(const QString &, const QString &)> box)
{
    errorBox() = std::move(box);
}
