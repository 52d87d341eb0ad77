#pragma once

#include "../desktop.h"
#include "../dialogs.h"
#include "../platform.h"
#include "../posix_numbered_files.h"
#include "../settings_store.h"

#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace vx::testing {

// Dialogs answered by the test, with a record of everything shown.
class ScriptedDialogs : public Dialogs {
public:
    struct Message {
        QString prompt;
        int type;
        QString title;
    };
    struct Prompt {
        QString prompt;
        QString title;
        QString defaultText;
    };

    // Answers for the next input prompts, in order; with none left, a prompt is cancelled.
    std::deque<QString> inputAnswers;
    // Answers for the next file dialogs, in order: a path, or nothing for cancel.
    std::deque<std::optional<QString>> fileAnswers;
    // Run while a message box is open, before its OK: what happens behind a modal box.
    std::function<void(const Message&)> whileMessageOpen;
    std::function<void(const Prompt&)> whilePromptOpen;
    std::function<void()> whileFileDialogOpen;

    std::vector<Message> messages;
    std::vector<Prompt> prompts;
    std::vector<CommonDialog> fileDialogs; // the dialog's properties as each was shown

    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;

protected:
    void showMessage(const QString& prompt, int type, const QString& title) override;
    std::optional<QString> chooseFileToOpen(const CommonDialog& dialog) override;
};

class ManualClock : public Clock {
public:
    double now = 1000.0;
    QString time = QStringLiteral("12:00:00");
    double seconds() const override { return now; }
    QString timeOfDay() const override { return time; }
    void advance(double by) { now += by; }
};

// Each doEvents() runs the test's hook: advance the clock, feed the port, click a button.
class ScriptedEvents : public EventPump {
public:
    int calls = 0;
    std::function<void()> onDoEvents;
    void doEvents() override {
        ++calls;
        if (onDoEvents)
            onDoEvents();
    }
};

class CountingSound : public Sound {
public:
    int beeps = 0;
    void beep() override { ++beeps; }
};

class RecordingSettingsStore : public SettingsStore {
public:
    struct Write {
        QString app, section, key, value;
    };
    std::vector<Write> writes;
    std::set<QString> failingKeys;     // these keys raise 75 and are not written
    std::map<QString, QString> values; // "section/key": what readSetting finds, and keeps
    void saveSetting(const QString& appName, const QString& section, const QString& key,
                     const QString& value) override;
    std::optional<QString> readSetting(const QString& appName, const QString& section,
                                       const QString& key) const override;
};

class FakeHelpViewer : public HelpViewer {
public:
    std::vector<QString> shown;
    std::optional<int> failWith;
    void showContents(const QString& helpFile) override;
};

// Real files in the file system, with failures on cue.
class FaultyFiles : public NumberedFiles {
public:
    enum class Op { OpenRandom, GetRecord, PutRecord, OpenAppend, OpenOutput, Print, Close };

    // The next `times` calls of op raise the error (0 times: every call until clearFaults()).
    void failNext(Op op, int errorNumber, int times = 1) { m_faults[op] = {errorNumber, times}; }
    // The disk takes `bytes` more bytes, then every write fails with ENOSPC, part way if need be.
    void fillDiskAfter(qsizetype bytes) { m_real.room = bytes; }
    // Opening for writing is refused (EACCES), as a folder or file the user may only read does;
    // root may write anywhere, so tests ask for it here.
    void refuseWriting(bool refuse = true) { m_real.refuseWriting = refuse; }
    void clearFaults() {
        m_faults.clear();
        m_real.room = -1;
    }

    void openRandom(int fileNumber, const QString& path, int recordLength) override;
    QByteArray getRecord(int fileNumber, int recordNumber) override;
    void putRecord(int fileNumber, int recordNumber, const QByteArray& bytes) override;
    void openAppend(int fileNumber, const QString& path) override;
    void openOutput(int fileNumber, const QString& path) override;
    void print(int fileNumber, const QByteArray& bytes) override;
    void close(int fileNumber) override;
    bool isOpen(int fileNumber) const override { return m_real.isOpen(fileNumber); }
    bool isReadOnly(int fileNumber) const override { return m_real.isReadOnly(fileNumber); }

private:
    struct Disk : PosixNumberedFiles {
        qsizetype room = -1; // bytes left on the disk; -1: as much as the real one has
        bool refuseWriting = false;
        ssize_t writeSome(int fd, const char* data, size_t size, off_t offset) override;
        int openDescriptor(const QByteArray& path, int flags) override;
    };
    void maybeFail(Op op);
    Disk m_real;
    std::map<Op, std::pair<int, int>> m_faults;
};

// All the doubles together, in a temporary working folder.
struct TestRig {
    TestRig();
    QTemporaryDir dir;
    FaultyFiles files;
    RecordingSettingsStore settings;
    ScriptedDialogs dialogs;
    CountingSound sound;
    ManualClock clock;
    ScriptedEvents events;
    FakeHelpViewer help;
    AppInfo app;
    Platform platform{files, settings, dialogs, sound, clock, events, help, app};

    QString path(const QString& name) const { return dir.filePath(name); }
};

} // namespace vx::testing
