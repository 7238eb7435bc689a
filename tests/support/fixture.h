#pragma once
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>
#include "ui/prompter.h"

// A temporary prefix with drives pointing at temporary folders. It resets the
// program-wide state and the current folders, and points the platform layer at
// itself for the life of the object; XDG_DATA_HOME points at its base folder,
// so a delete to the trash lands in base()/Trash and a started program finds
// the prefix through base()/quorl.
class TempPrefix {
public:
    TempPrefix();
    ~TempPrefix();
    QString prefix() const;                    // host folder of the prefix
    QString base() const;                      // host folder holding everything
    // Creates a host folder and links the drive letter to it; returns the folder.
    QString addDrive(QChar letter);
    // Links a drive letter to any target (it may dangle).
    void linkDrive(QChar letter, const QString& target);
    // Builds the prefix with the setup code (c:, z:, quorl.ini, program folder).
    void setup();
    // Host path of a DOS path inside the prefix ("c:\windows\quorl.ini").
    QString host(const QString& dosPath) const;
    void writeFile(const QString& dosPath, const QByteArray& bytes) const;
    QByteArray readFile(const QString& dosPath) const;

private:
    QTemporaryDir dir_;
    QString savedCwd_;
    QByteArray savedDataHome_;
};

class MDIQuorl;
class frmBrws;
// Starts the whole program (it logs c:), logs another drive into a second
// window and gives its tree the focus; null when that window did not open.
frmBrws* StartWithDrive(std::unique_ptr<MDIQuorl>& main, const QString& drive);

// Answers prompts in the order they are expected; a prompt that was not expected,
// or an expected one that never came, fails the test.
class ScriptedPrompter {
public:
    ScriptedPrompter();
    ~ScriptedPrompter();
    ScriptedPrompter& expect(const QString& text, PromptAnswer answer = PromptAnswer::Ok,
                             const QString& title = QString());
    // Texts seen so far, in order, and what the status bar said at each.
    QStringList seen() const { return seen_; }
    QStringList statuses() const { return statuses_; }
    bool done() const { return expected_.empty(); }

private:
    struct Expectation { QString text; QString title; PromptAnswer answer; };
    std::deque<Expectation> expected_;
    QStringList seen_;
    QStringList statuses_;
};

// Stands in for the user of modal forms: each expected form is handed to its
// script, which fills it and presses its buttons.
class ScriptedForms {
public:
    ScriptedForms();
    ~ScriptedForms();
    ScriptedForms& expect(const QString& objectName, std::function<void(QWidget*)> script);

private:
    struct Expectation { QString objectName; std::function<void(QWidget*)> script; };
    std::deque<Expectation> expected_;
};
