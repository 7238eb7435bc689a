#pragma once
// The interpreter in-process against a temporary prefix with drives c: and d:;
// its output and input are buffers a test reads and fills.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <unistd.h>
#include "fixture.h"
#include "platform/curdir.h"
#include "platform/paths.h"
#include "shell.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

class CommandTest : public ::testing::Test {
protected:
    TempPrefix tp;
    QString c = tp.addDrive('c');
    QString d = tp.addDrive('d');
    QBuffer out, in;
    command::Shell shell;

    void SetUp() override {
        out.open(QIODevice::ReadWrite);
        in.open(QIODevice::ReadWrite);
        command::InitShell(shell);
        shell.out = {&out, QString(), false};
        shell.in = {&in, QString(), false};
        ASSERT_EQ(platform::ChangeDrive('c'), 0);
    }

    // Runs one line and returns what it wrote.
    QString run(const QString& line) {
        out.buffer().clear();
        out.seek(0);
        command::RunLine(shell, line);
        return QString::fromUtf8(out.buffer());
    }
    QStringList lines(const QString& line) { return run(line).split(u'\n', Qt::SkipEmptyParts); }
    // What the next questions will read, one answer a line.
    void answer(const QByteArray& text) {
        in.buffer() = text;
        in.seek(0);
    }

    QString host(const QString& dos) { return tp.host(dos); }
    void write(const QString& dos, const QByteArray& bytes) { tp.writeFile(dos, bytes); }
    // Files with their bytes, their folders made on the way.
    void write(std::initializer_list<std::pair<QString, QByteArray>> files) {
        for (const auto& [dos, bytes] : files) write(dos, bytes);
    }
    QByteArray read(const QString& dos) { return tp.readFile(dos); }
    bool exists(const QString& dos) { return QFileInfo::exists(host(dos)); }
    void mkdir(const QString& dos) { QDir().mkpath(host(dos)); }
    // A symbolic link at the host path `at` to `target`, as written (a host path or a relative one).
    static void link(const QString& target, const QString& at) {
        ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(at).constData()), 0);
    }
    // A Linux executable: a shell script with a fixed body.
    void script(const QString& dos, const QByteArray& body) {
        write(dos, "#!/bin/sh\n" + body);
        QFile::setPermissions(host(dos), QFile::permissions(host(dos)) | QFile::ExeOwner | QFile::ExeUser);
    }
};
