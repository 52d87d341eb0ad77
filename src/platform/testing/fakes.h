#pragma once

#include "../platform.h"
#include "../runtime_error.h"
#include "../serial_devices.h"
#include "faults.h"
#include "faulty_files.h" // the operating system's own, from its testing folder

#include <QMap>
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
        QString prompt, title, defaultText;
    };

    // Answers for the next input prompts, in order; with none left, a prompt is cancelled.
    std::deque<QString> inputAnswers;
    // Answers for the next file dialogs, in order: a path, or nothing for cancel.
    std::deque<std::optional<QString>> fileAnswers;
    // Run while a dialog is open, before it is answered: what happens behind a modal box.
    std::function<void(const Message&)> whileMessageOpen;
    std::function<void(const Prompt&)> whilePromptOpen;
    std::function<void()> whileFileDialogOpen;

    std::vector<Message> messages;
    std::vector<Prompt> prompts;
    std::vector<CommonDialog> fileDialogs; // the dialog's properties as each was shown

    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override {
        prompts.push_back({prompt, title, defaultText});
        if (whilePromptOpen)
            whilePromptOpen(prompts.back());
        return next(inputAnswers).value_or(QString());
    }

protected:
    void showMessage(const QString& prompt, int type, const QString& title) override {
        messages.push_back({prompt, type, title});
        if (whileMessageOpen)
            whileMessageOpen(messages.back());
    }
    std::optional<QString> chooseFileToOpen(const CommonDialog& dialog) override {
        fileDialogs.push_back(dialog);
        if (whileFileDialogOpen)
            whileFileDialogOpen();
        return next(fileAnswers).value_or(std::nullopt);
    }

private:
    template <class T> static std::optional<T> next(std::deque<T>& answers) {
        if (answers.empty())
            return std::nullopt;
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
};

struct ManualClock : Clock {
    double now = 1000.0;
    QString time = QStringLiteral("12:00:00");
    double seconds() const override { return now; }
    QString timeOfDay() const override { return time; }
    void advance(double by) { now += by; }
};

// Each doEvents() runs the test's hook: advance the clock, feed the port, click a button.
struct ScriptedEvents : EventPump {
    std::function<void()> onDoEvents;
    void doEvents() override {
        if (onDoEvents)
            onDoEvents();
    }
};

struct CountingSound : Sound {
    int beeps = 0;
    void beep() override { ++beeps; }
};

struct RecordingSettingsStore : SettingsStore {
    struct Write {
        QString app, section, key, value;
    };
    std::vector<Write> writes;
    std::set<QString> failingKeys;     // these keys raise 75 and are not written
    std::map<QString, QString> values; // "section/key": what readSetting finds, and keeps
    std::optional<RuntimeError> refused;
    void saveSetting(const QString& appName, const QString& section, const QString& key,
                     const QString& value) override {
        if (failingKeys.count(key) != 0)
            throw RuntimeError(err::PathFileAccessError);
        writes.push_back({appName, section, key, value});
        values[section + '/' + key] = value;
    }
    std::optional<QString> readSetting(const QString&, const QString& section,
                                       const QString& key) const override {
        const auto it = values.find(section + '/' + key);
        return it == values.end() ? std::nullopt : std::optional(it->second);
    }
    std::optional<RuntimeError> refusal(const QString&) const override { return refused; }
};

struct FakeHelpViewer : HelpViewer {
    std::vector<QString> shown;
    std::optional<int> failWith;
    void showContents(const QString& helpFile) override {
        if (failWith)
            throw RuntimeError(*failWith);
        shown.push_back(helpFile);
    }
};

// Port n is the device "COMn", none of them there: what the port items' tooltips need.
struct ListedSerialDevices : SerialDevices {
    ListedSerialDevices()
        : SerialDevices([this](int n) { return named.value(n); }) {}
    QMap<int, QString> named; // [Ports] n=
    SerialDeviceInfo describe(int portNumber) const override {
        SerialDeviceInfo info;
        info.path = systemPath(portNumber);
        return info;
    }

protected:
    QString systemPath(int portNumber) const override {
        return QStringLiteral("COM%1").arg(portNumber);
    }
};

// All the doubles together, in a temporary working folder.
struct TestRig {
    // By default every pass of a wait loop takes 10 ms of the manual clock.
    TestRig() {
        events.onDoEvents = [this] { clock.advance(0.01); };
    }
    QTemporaryDir dir;
    FaultyFiles files;
    RecordingSettingsStore settings;
    ScriptedDialogs dialogs;
    CountingSound sound;
    ManualClock clock;
    ScriptedEvents events;
    FakeHelpViewer help;
    ListedSerialDevices devices;
    AppInfo app;
    Platform platform{files, settings, dialogs, sound, clock, events, help, app};

    QString path(const QString& name) const { return dir.filePath(name); }
};

} // namespace vx::testing
