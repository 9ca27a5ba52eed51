// Exports N small items (default 500) through CWordExporter on one LibreOffice
// instance and prints documents per second (from the median time per
// document), the office's peak memory, and the time of one
// `soffice --headless --convert-to doc` call per file for a sample of 20 of the
// same bodies, with the ratio between the two.
//
//   bench_office_export [items] [sample]
#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include "export/HeaderTemplates.h"
#include "office/CWordExporter.h"
#include "office/LibreOfficeEngine.h"

namespace {

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5))];
}

// Peak resident memory (VmHWM) of a process, in MB; 0 when unknown.
double peakMegabytes(pid_t pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

QByteArray rtfBody(int i) {
    return QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\froman Times New Roman;}}\\f0\\fs24 ") +
           "Message " + QByteArray::number(i) +
           " of the benchmark, with {\\b bold} and {\\i italic} words.\\par " +
           "A second paragraph that carries a little more text, as small mails do.\\par " +
           "Regards,\\par Ann\\par}";
}

QByteArray textBody(int i) {
    const QString text =
        QStringLiteral("Plain message %1.\r\nGrüße, Ωμέγα, 日本.\r\nSecond line.\r\n").arg(i);
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

// Accumulated time per automation operation.
struct OperationTimes {
    std::map<QString, std::pair<double, int>> byName;
    void add(const QString& name, double ms) {
        auto& entry = byName[name];
        entry.first += ms;
        entry.second += 1;
    }
};

template <class F>
auto timed(OperationTimes& times, const char* name, F&& f) -> decltype(f()) {
    QElapsedTimer t;
    t.start();
    struct Done {
        OperationTimes& times;
        const char* name;
        QElapsedTimer& t;
        ~Done() { times.add(QString::fromLatin1(name), double(t.nsecsElapsed()) / 1e6); }
    } done{times, name, t};
    return f();
}

// The real engine, timing each operation.
class TimingEngine : public IOfficeAutomation {
  public:
    TimingEngine(OperationTimes& times) : m_times(times) {}
    LibreOfficeEngine& engine() { return m_engine; }

    bool Create(QString* e) override {
        return timed(m_times, "Create", [&] { return m_engine.Create(e); });
    }
    bool IsCreated() const override { return m_engine.IsCreated(); }
    void Quit() override { m_engine.Quit(); }
    void SetVisible(bool v) override {
        timed(m_times, "Visible", [&] { m_engine.SetVisible(v); });
    }
    QString Version() override { return m_engine.Version(); }
    std::unique_ptr<IOfficeDocuments> Documents() override {
        return std::make_unique<Docs>(m_engine.Documents(), m_times);
    }
    void SetSelectionStart(int p) override {
        timed(m_times, "Selection.Start", [&] { m_engine.SetSelectionStart(p); });
    }
    void SetSelectionEnd(int p) override {
        timed(m_times, "Selection.End", [&] { m_engine.SetSelectionEnd(p); });
    }
    void SelectionInsertFile(const QString& f, int c, int l) override {
        timed(m_times, "Selection.InsertFile", [&] { m_engine.SelectionInsertFile(f, c, l); });
    }
    void SetSelectionRangeText(const QString& t) override { m_engine.SetSelectionRangeText(t); }
    void SetSelectionRangeFontSize(double p) override { m_engine.SetSelectionRangeFontSize(p); }
    void SetSelectionRangeFontBold(int b) override { m_engine.SetSelectionRangeFontBold(b); }
    void SetSelectionRangeFontColor(int c) override { m_engine.SetSelectionRangeFontColor(c); }

  private:
    class Doc : public IOfficeDocument {
      public:
        Doc(std::unique_ptr<IOfficeDocument> d, OperationTimes& t) : m_doc(std::move(d)), m_times(t) {}
        void SetTableCellText(int t, int r, int c, const QString& s) override {
            timed(m_times, "Cell.Range.Text", [&] { m_doc->SetTableCellText(t, r, c, s); });
        }
        void AddInlinePicture(const QString& f) override { m_doc->AddInlinePicture(f); }
        void SaveAs(const SaveAsArguments& a) override {
            timed(m_times, "SaveAs", [&] { m_doc->SaveAs(a); });
        }
        void Close(short s) override {
            timed(m_times, "Close", [&] { m_doc->Close(s); });
        }

      private:
        std::unique_ptr<IOfficeDocument> m_doc;
        OperationTimes& m_times;
    };
    class Docs : public IOfficeDocuments {
      public:
        Docs(std::unique_ptr<IOfficeDocuments> d, OperationTimes& t) : m_docs(std::move(d)), m_times(t) {}
        std::unique_ptr<IOfficeDocument> Open(const OpenArguments& a) override {
            auto doc = timed(m_times, "Documents.Open", [&] { return m_docs->Open(a); });
            return doc ? std::make_unique<Doc>(std::move(doc), m_times) : nullptr;
        }

      private:
        std::unique_ptr<IOfficeDocuments> m_docs;
        OperationTimes& m_times;
    };

    LibreOfficeEngine m_engine;
    OperationTimes& m_times;
};

QString loadAverage() {
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()).section(QLatin1Char(' '), 0, 0)
                                       : QString();
}

// CPU time (user + system) a process has used so far, in ms; 0 when unknown.
double cpuMilliseconds(pid_t pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return 0;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    // Fields after the name start at "state" (3rd field): utime is the 14th, stime the 15th.
    if (fields.size() < 13) return 0;
    return (fields[11].toDouble() + fields[12].toDouble()) * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

double ownCpuMilliseconds() {
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec * 1000.0 + usage.ru_utime.tv_usec / 1000.0 + usage.ru_stime.tv_sec * 1000.0 +
           usage.ru_stime.tv_usec / 1000.0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int items = argc > 1 ? std::max(1, atoi(argv[1])) : 500;
    const int sample = argc > 2 ? std::max(0, atoi(argv[2])) : 20;

    QTemporaryDir dir;
    const QString bodies = dir.filePath(QStringLiteral("bodies"));
    QDir().mkpath(bodies);
    QStringList bodyFiles;
    for (int i = 0; i < items; ++i) {
        const bool rtf = i % 2 == 0;
        const QString path = bodies + QStringLiteral("/item%1.%2").arg(i).arg(rtf ? "rtf" : "txt");
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(rtf ? rtfBody(i) : textBody(i));
        bodyFiles << path;
    }

    OperationTimes times;
    LibreOfficeEngine* engine = nullptr;
    CWordExporter exporter([&engine, &times] {
        auto e = std::make_unique<TimingEngine>(times);
        engine = &e->engine();
        return std::unique_ptr<IOfficeAutomation>(std::move(e));
    });
    QElapsedTimer clock;
    clock.start();
    if (!exporter.StartWord()) {
        std::fprintf(stderr, "office did not start: %s\n", qPrintable(exporter.LastFailure()));
        return 1;
    }
    const double startMs = double(clock.nsecsElapsed()) / 1e6;
    exporter.SetRootFolder(dir.filePath(QStringLiteral("out")) + QLatin1Char('/'));
    exporter.SetOutputFolder(QStringLiteral("Inbox/"));

    auto officeCpu = [&engine] {
        double ms = 0;
        if (engine)
            for (pid_t pid : engine->OfficeProcessIds()) ms += cpuMilliseconds(pid);
        return ms;
    };
    const double officeCpuBefore = officeCpu();
    const double ownCpuBefore = ownCpuMilliseconds();
    std::vector<double> perDoc;
    int failed = 0;
    QElapsedTimer run;
    run.start();
    for (int i = 0; i < items; ++i) {
        const QString block =
            QStringLiteral(
                "Email Item \r\nSubject:Benchmark item %1 \r\nMailDate:08/08/2014 13:18:33 \r\n"
                "From:Ann Example \r\nSendTo:Bob Example \r\n")
                .arg(i);
        QElapsedTimer one;
        one.start();
        exporter.SetHeaderInputs({}, {}, {}, {}, block);
        exporter.SetTemplate(LoadRtfTemplate(TemplateIdForRows(exporter.CountHeaderLabels(block))));
        if (!exporter.ExportItem(bodyFiles[i], QStringLiteral("Benchmark item %1").arg(i))) {
            ++failed;
            std::fprintf(stderr, "item %d failed: %s\n", i, qPrintable(exporter.LastFailure()));
        }
        perDoc.push_back(double(one.nsecsElapsed()) / 1e6);
    }
    const double runMs = double(run.nsecsElapsed()) / 1e6;
    const double officeCpuMs = officeCpu() - officeCpuBefore;
    const double ownCpuMs = ownCpuMilliseconds() - ownCpuBefore;
    double peak = 0;
    if (engine)
        for (pid_t pid : engine->OfficeProcessIds()) peak = std::max(peak, peakMegabytes(pid));
    exporter.ShutdownWord();

    const double med = median(perDoc);
    std::printf("office start-up: %.0f ms\n", startMs);
    std::printf("%d items (half RTF, half UTF-16 text; 4-row header table), %d failed\n", items, failed);
    std::printf("per document: median %.1f ms, p90 %.1f ms, max %.1f ms\n", med, percentile(perDoc, 0.9),
                percentile(perDoc, 1.0));
    std::printf(
        "documents per second: %.1f (median), %.1f (whole run without start-up), %.1f (with start-up)\n",
        1000.0 / med, items * 1000.0 / runMs, items * 1000.0 / (runMs + startMs));
    std::printf(
        "CPU per document: office %.1f ms, this process %.1f ms (%.1f documents/s per busy core; load %s)\n",
        officeCpuMs / items, ownCpuMs / items, items * 1000.0 / (officeCpuMs + ownCpuMs),
        qPrintable(loadAverage()));
    std::printf("office peak memory (VmHWM of soffice.bin): %.0f MB\n", peak);
    std::printf("time per call (mean):");
    for (const auto& [name, entry] : times.byName)
        if (name != QStringLiteral("Create"))
            std::printf(" %s %.2f ms x%.0f;", qPrintable(name), entry.first / entry.second,
                        double(entry.second) / items);
    std::printf("\n");

    if (sample > 0) {
        // The same bodies, one `soffice --convert-to doc` per file (warm private profile).
        QTemporaryDir profile;
        const QString profileUrl = QUrl::fromLocalFile(profile.path()).toString();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), profile.path());
        const QString outDir = dir.filePath(QStringLiteral("convert"));
        QDir().mkpath(outDir);
        auto convert = [&](const QString& file) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(QStringLiteral(TESSELDOC_LO_PROGRAM_DIR "/soffice"),
                    {QStringLiteral("-env:UserInstallation=") + profileUrl, QStringLiteral("--headless"),
                     QStringLiteral("--norestore"), QStringLiteral("--convert-to"), QStringLiteral("doc"),
                     QStringLiteral("--outdir"), outDir, file});
            p.waitForFinished(120000);
        };
        convert(bodyFiles[0]);  // creates the profile; not counted
        std::vector<double> perFile;
        for (int i = 0; i < sample && i < items; ++i) {
            QElapsedTimer one;
            one.start();
            convert(bodyFiles[(i * items) / sample]);
            perFile.push_back(double(one.nsecsElapsed()) / 1e6);
        }
        const double cmd = median(perFile);
        std::printf(
            "soffice --convert-to doc, one call per file (%d files): median %.0f ms per file (%.2f "
            "files/s)\n",
            int(perFile.size()), cmd, 1000.0 / cmd);
        std::printf("ratio: the exporter is %.0fx faster per document\n", cmd / med);
    }
    return failed == 0 ? 0 : 2;
}
