// The settings file setup installs: its layout, and that the program reads
// every value as given rather than falling back.
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>
#include "config/settings.h"
#include "fixture.h"
#include "model/slots.h"
#include "setup.h"

namespace {

const QStringList SectionOrder = {"[general]", "[compression]", "[fonts]", "[supportedfiletypes]", "[associations]",
                                  "[desktop]"};

// Lines of each section in file order, empty lines kept.
QMap<QString, QStringList> Sections(const QStringList& lines, QStringList* order) {
    QMap<QString, QStringList> sections;
    QString current;
    for (const QString& line : lines) {
        if (line.startsWith('[')) {
            current = line;
            *order << line;
            continue;
        }
        sections[current] << line;
    }
    return sections;
}

QStringList NonEmpty(const QStringList& lines) {
    QStringList out;
    for (const QString& l : lines)
        if (!l.trimmed().isEmpty()) out << l;
    return out;
}

TEST(DefaultSettingsText, HasTheSixSectionsInOrderWithCrLfLines) {
    const QString text = DefaultSettingsText();
    ASSERT_FALSE(text.isEmpty());
    ASSERT_TRUE(text.endsWith("\r\n"));
    EXPECT_EQ(text.count('\n'), text.count("\r\n")) << "a line ends without CR";
    EXPECT_EQ(text.count('\r'), text.count("\r\n")) << "a CR stands alone";

    QStringList lines = text.split("\r\n");
    lines.removeLast();   // after the last line end
    QStringList order;
    const auto sections = Sections(lines, &order);
    EXPECT_EQ(order, SectionOrder);
    EXPECT_FALSE(sections.contains(QString())) << "text before the first section";

    EXPECT_EQ(NonEmpty(sections["[general]"]).size(), 8);
    EXPECT_EQ(NonEmpty(sections["[compression]"]).size(), 8);
    EXPECT_EQ(NonEmpty(sections["[fonts]"]).size(), 4);
    // One empty line closes each section but the last; none stands inside one.
    for (const QString& header : SectionOrder) {
        const QStringList& body = sections[header];
        const bool last = header == "[desktop]";
        ASSERT_FALSE(body.isEmpty()) << header.toStdString();
        EXPECT_EQ(body.size() - NonEmpty(body).size(), last ? 0 : 1) << header.toStdString();
        if (!last) {
            EXPECT_TRUE(body.last().isEmpty()) << header.toStdString();
        }
    }

    // The key texts are the ones the program falls back to for a missing line.
    for (const QString header : {"[general]", "[compression]", "[fonts]"}) {
        QStringList keys;
        for (const QString& line : NonEmpty(sections[header])) keys << line.left(line.lastIndexOf('=') + 1);
        EXPECT_EQ(keys, DefaultSettingKeys(header)) << header.toStdString();
    }

    const QStringList desktop = sections["[desktop]"];
    ASSERT_EQ(desktop.size(), 2);
    EXPECT_EQ(desktop[0], "WindowState = Normal");
    const QRegularExpression coordinates("^WindowCoordinates = (\\d+),(\\d+),(\\d+),(\\d+)$");
    const auto m = coordinates.match(desktop[1]);
    ASSERT_TRUE(m.hasMatch()) << desktop[1].toStdString();
    // Twips: a window of at least 640 by 480 pixels.
    EXPECT_GE(m.captured(3).toInt(), 640 * 15);
    EXPECT_GE(m.captured(4).toInt(), 480 * 15);
}

TEST(DefaultSettingsText, FileTypeTableCoversEveryTypeOnceForEachExtension) {
    QStringList order;
    QStringList lines = DefaultSettingsText().split("\r\n");
    const auto sections = Sections(lines, &order);

    const QSet<QString> typeNames = {"sound", "cd audio", "help", "video", "font", "image", "archive", "link"};
    const QRegularExpression form("^(\\.[a-z0-9]+),([a-z ]+)$");
    QSet<QString> extensions, used;
    for (const QString& line : NonEmpty(sections["[supportedfiletypes]"])) {
        const auto m = form.match(line);
        ASSERT_TRUE(m.hasMatch()) << line.toStdString();
        EXPECT_TRUE(typeNames.contains(m.captured(2))) << line.toStdString();
        EXPECT_FALSE(extensions.contains(m.captured(1))) << "twice: " << line.toStdString();
        extensions << m.captured(1);
        used << m.captured(2);
    }
    EXPECT_EQ(used, typeNames);
    for (const QString ext : {".bmp", ".jpg", ".png", ".wav", ".mid", ".mp3", ".avi", ".mpg", ".hlp", ".ttf",
                               ".zip", ".arj", ".lnk"})
        EXPECT_TRUE(extensions.contains(ext)) << ext.toStdString();

    // Associations: extension, description without a comma, program in the Windows folder.
    const QRegularExpression association("^\\.[a-z0-9]+,[^,]+,c:\\\\windows\\\\[a-z0-9]+\\.exe$");
    const QStringList associations = NonEmpty(sections["[associations]"]);
    EXPECT_GE(associations.size(), 3);
    for (const QString& line : associations) EXPECT_TRUE(association.match(line).hasMatch()) << line.toStdString();
}

TEST(DefaultSettingsFile, ProgramReadsEveryValueAsInstalled) {
    ASSERT_FALSE(qEnvironmentVariable("QUORL_BIN_DIR").isEmpty()) << "QUORL_BIN_DIR names the build folder";
    TempPrefix prefix;
    prefix.setup();
    ScriptedPrompter prompts;   // any message would mean the file was refused

    const QStringList general = ReadSection("[general]");
    const QStringList compression = ReadSection("[compression]");
    const QStringList fonts = ReadSection("[fonts]");
    ASSERT_EQ(general.size(), 9);
    ASSERT_EQ(compression.size(), 9);
    ASSERT_EQ(fonts.size(), 5);
    ASSERT_EQ(ReadSection("[desktop]").size(), 3);
    EXPECT_GT(ReadSection("[supportedfiletypes]").size(), 20);

    ASSERT_TRUE(LoadSettings());
    // A value that failed its check would have been replaced by its fallback.
    QStringList values = general.mid(0, 8) + compression.mid(0, 8) + fonts.mid(0, 4);
    for (int index = 1; index <= 20; ++index) {
        EXPECT_EQ(Settings[index].toString().toLower().toStdString(), ValueOf(values[index - 1]).toStdString())
            << "index " << index;
    }
    EXPECT_EQ(Settings[8].toString(), "c:\\quorl");
    EXPECT_EQ(Settings[4].typeId(), QMetaType::Bool);
}

}  // namespace
