#include "export/export_registry.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>
#include <vector>

#include "audio/sound_stage.h"
#include "audio/soundfont.h"
#include "document/score_document.h"
#include "export/export_host.h"
#include "export/export_scores.h"
#include "gui/export_command.h"
#include "gui/score_view.h"
#include "music/score_records.h"
#include "musicxml/musicxml_file.h"
#include "records/memory_io.h"
#include "support/qt/test_fonts.h"
#include "support/smf_reader.h"

namespace qe {
namespace {

const ExportRegistry& registry() {
    return ExportRegistry::standard();
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Reads a written file back as another program would: empty when it reads, otherwise what
// is wrong with it. A format without a reader here fails, so that a new format comes with
// a way to read it back.
QString unreadable(const QString& path) {
    const QString extension = QFileInfo(path).suffix().toLower();
    const QByteArray bytes = readAll(path);
    if (QStringList{"jpg", "jpeg", "gif", "png", "bmp"}.contains(extension))
        return QImage(path).size() == QSize(2381, 3367) ? QString() : "not a page image";
    if (extension == "svg")
        return QSvgRenderer(path).isValid() ? QString() : "not an SVG drawing";
    if (extension == "pdf")
        return bytes.startsWith("%PDF-") && bytes.trimmed().endsWith("%%EOF") ? QString()
                                                                              : "not a PDF";
    if (QStringList{"musicxml", "xml", "mxl"}.contains(extension)) {
        QeDocument doc;
        const musicxml::Outcome read = musicxml::importMusicXmlFile(path, doc);
        return read.ok() ? QString() : read.message;
    }
    if (extension == "mid" || extension == "midi") {
        try {
            const test::SmfFile midi =
                test::readSmf(std::vector<unsigned char>(bytes.begin(), bytes.end()));
            return midi.notes.empty() ? "a MIDI file without notes" : QString();
        } catch (const std::exception& e) {
            return QString::fromUtf8(e.what());
        }
    }
    if (extension == "wav")
        return bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WAVE" && bytes.size() > 1000
                   ? QString()
                   : "not a WAV file with sound";
    return "no reader for ." + extension;
}

// A WAV file is rendered through a SoundFont, which a machine may lack.
bool cannotWrite(const ExportFormat& format) {
    return format.extensions().contains("wav") && sound::findSoundFont().empty();
}

// Answers every message box the window opens with OK, keeping its text.
class MessageBoxes {
public:
    MessageBoxes() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                said << box->text();
                box->accept();
            }
        });
        timer_.start(10);
    }
    QStringList said;

private:
    QTimer timer_;
};

// A one-page score of four measures in a folder of its own, to export in every format.
class RegisteredFormats : public ::testing::Test {
protected:
    void SetUp() override {
        QeDocument doc = test::exportScore(4);
        save(doc, "song.qe");
    }

    void save(QeDocument& doc, const QString& name) const {
        MemoryIO io;
        doc.serialize(io, true);
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(io.bytes().data()),
                   static_cast<qsizetype>(io.bytes().size()));
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    // A score window on the score, in page view, as the editor opens it.
    struct Window {
        explicit Window(const QString& score) {
            EXPECT_TRUE(document.onOpenDocument(score).ok());
            view.attachDocument();
        }
        ScoreDocument document;
        ScoreView view{&document, test::fonts(), std::make_shared<SoundStage>()};
    };
    // The files of a folder of the test, with their full paths.
    QStringList filesIn(const QString& folder) const {
        QStringList files;
        for (const QString& name : QDir(path(folder)).entryList(QDir::Files, QDir::Name))
            files << path(folder + "/" + name);
        return files;
    }

    struct Run {
        int status = -1;
        QStringList out;
        QString err;
    };
    Run qanoredit(const QStringList& arguments) const {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(QE_CLI), arguments);
        process.waitForFinished(120000);
        Run run;
        run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out =
            QString::fromLocal8Bit(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        run.err = QString::fromLocal8Bit(process.readAllStandardError());
        return run;
    }

    QTemporaryDir dir;
};

TEST_F(RegisteredFormats, EveryFormatWritesAReadableFileFromTheCommandLine) {
    for (const std::unique_ptr<ExportFormat>& format : registry().formats()) {
        const QString extension = format->extensions().constFirst();
        SCOPED_TRACE(extension.toStdString());
        if (cannotWrite(*format))
            continue;
        QDir(dir.path()).mkdir(extension);
        const Run run =
            qanoredit({"--export", path(extension + "/s." + extension), path("song.qe")});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(run.out, filesIn(extension));
        for (const QString& file : filesIn(extension))
            EXPECT_EQ(unreadable(file), QString()) << file.toStdString();
    }
}

TEST_F(RegisteredFormats, EveryFormatWritesAReadableFileFromTheWindow) {
    Window window(path("song.qe"));
    MessageBoxes boxes;
    for (const std::unique_ptr<ExportFormat>& format : registry().formats()) {
        const QString extension = format->extensions().constFirst();
        SCOPED_TRACE(extension.toStdString());
        if (cannotWrite(*format))
            continue;
        QDir(dir.path()).mkdir(extension);
        const QString said =
            exportFromWindow(window.view, path(extension + "/s." + extension), 120);
        EXPECT_TRUE(said.startsWith(QStringLiteral("已导出"))) << said.toStdString();
        ASSERT_FALSE(filesIn(extension).isEmpty());
        for (const QString& file : filesIn(extension))
            EXPECT_EQ(unreadable(file), QString()) << file.toStdString();
    }
    EXPECT_TRUE(boxes.said.isEmpty()) << boxes.said.join('\n').toStdString();
}

TEST_F(RegisteredFormats, AnUnknownExtensionIsRefusedWithAClearMessage) {
    for (const char* name : {"out.tiff", "out", "out.png.bak"})
        EXPECT_EQ(registry().formatFor(path(name)), nullptr) << name;
    // The command line names the extensions it knows, and writes nothing.
    const Run run = qanoredit({"--export", path("out.tiff"), path("song.qe")});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.startsWith("qanoredit: cannot export to " + path("out.tiff") +
                                   "; the extensions known are " +
                                   registry().extensions().join(", ") + "\n"))
        << run.err.toStdString();
    // The window says once that the name's extension is wrong, however many pages there are.
    QeDocument pages = music::recordsOfScore(*test::scoreOfPages(2)->score);
    save(pages, "pages.qe");
    Window window(path("pages.qe"));
    MessageBoxes boxes;
    EXPECT_EQ(exportFromWindow(window.view, path("out.tiff"), 90), QString());
    EXPECT_EQ(boxes.said, QStringList{QStringLiteral("保存失败，请检查文件路径与扩展名。")});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"pages.qe", "song.qe"}));
}

TEST(ExportRegistry, TheWindowsFileTypesAndTheCommandLinesExtensionsAreTheRegistrys) {
    // No translation is installed here: the window shows the descriptions as they are.
    QStringList descriptions;
    QStringList extensions;
    for (const std::unique_ptr<ExportFormat>& format : registry().formats()) {
        descriptions << QString::fromUtf8(format->description());
        // A file type's patterns are its format's extensions, which choose it in any case.
        QStringList patterns;
        const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
        for (const QRegularExpressionMatch& match : pattern.globalMatch(descriptions.last()))
            patterns << match.captured(1);
        EXPECT_EQ(patterns, format->extensions());
        for (const QString& extension : format->extensions()) {
            EXPECT_EQ(extension, extension.toLower());
            EXPECT_EQ(registry().formatFor("a/b." + extension.toUpper()), format.get());
            EXPECT_FALSE(extensions.contains(extension))
                << "taken twice: " << extension.toStdString();
            extensions << extension;
        }
    }
    EXPECT_EQ(exportFileTypes(), descriptions);
    EXPECT_EQ(registry().extensions(), extensions);
    EXPECT_EQ(registry().formats().size(), 10u);
}

// A format of one's own, as a new one would be written.
class TextFormat : public ExportFormat {
public:
    explicit TextFormat(const char* extension)
        : ExportFormat({QString::fromLatin1(extension)}, "文本 (*.txt)", {}) {}
    ExportResult write(const music::Score&, const ExportOptions&, const QString& path,
                       ExportHost&) const override {
        ExportResult result;
        result.files << path;
        return result;
    }
};

TEST(ExportRegistry, ANewFormatIsOneMoreRowAndAnExtensionStaysWithItsFirstRow) {
    ExportRegistry formats;
    formats.add(std::make_unique<TextFormat>("txt"));
    formats.add(std::make_unique<TextFormat>("txt"));
    const ExportFormat* text = formats.formatFor("notes.TXT");
    ASSERT_EQ(text, formats.formats().front().get());
    EXPECT_EQ(formats.formatFor("notes.png"), nullptr);
}

}  // namespace
}  // namespace qe
