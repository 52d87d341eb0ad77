#include "fakes.h"

#include "../runtime_error.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>

namespace vx::testing {

QString ScriptedDialogs::inputBox(const QString& prompt, const QString& title,
                                  const QString& defaultText) {
    prompts.push_back({prompt, title, defaultText});
    if (whilePromptOpen)
        whilePromptOpen(prompts.back());
    if (inputAnswers.empty())
        return {};
    QString answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

void ScriptedDialogs::showMessage(const QString& prompt, int type, const QString& title) {
    messages.push_back({prompt, type, title});
    if (whileMessageOpen)
        whileMessageOpen(messages.back());
}

std::optional<QString> ScriptedDialogs::chooseFileToOpen(const CommonDialog& dialog) {
    fileDialogs.push_back(dialog);
    if (whileFileDialogOpen)
        whileFileDialogOpen();
    std::optional<QString> answer;
    if (!fileAnswers.empty()) {
        answer.swap(fileAnswers.front());
        fileAnswers.pop_front();
    }
    return answer;
}

void RecordingSettingsStore::saveSetting(const QString& appName, const QString& section,
                                         const QString& key, const QString& value) {
    if (failingKeys.count(key) != 0)
        throw RuntimeError(err::PathFileAccessError);
    writes.push_back({appName, section, key, value});
    values[section + QLatin1Char('/') + key] = value;
}

std::optional<QString> RecordingSettingsStore::readSetting(const QString&, const QString& section,
                                                           const QString& key) const {
    const auto it = values.find(section + QLatin1Char('/') + key);
    return it == values.end() ? std::nullopt : std::optional(it->second);
}

void FakeHelpViewer::showContents(const QString& helpFile) {
    if (failWith)
        throw RuntimeError(*failWith);
    shown.push_back(helpFile);
}

int FaultyFiles::Disk::openDescriptor(const QByteArray& path, int flags) {
    if (refuseWriting && (flags & O_ACCMODE) != O_RDONLY) {
        errno = EACCES;
        return -1;
    }
    return PosixNumberedFiles::openDescriptor(path, flags);
}

void FaultyFiles::maybeFail(Op op) {
    const auto it = m_faults.find(op);
    if (it == m_faults.end())
        return;
    const int number = it->second.first;
    if (it->second.second > 0 && --it->second.second == 0)
        m_faults.erase(it);
    throw RuntimeError(number);
}

ssize_t FaultyFiles::Disk::writeSome(int fd, const char* data, size_t size, off_t offset) {
    if (room < 0)
        return PosixNumberedFiles::writeSome(fd, data, size, offset);
    if (room == 0) {
        errno = ENOSPC;
        return -1;
    }
    const ssize_t n =
        PosixNumberedFiles::writeSome(fd, data, std::min(size, static_cast<size_t>(room)), offset);
    room -= std::max<ssize_t>(n, 0);
    return n;
}

void FaultyFiles::openRandom(int fileNumber, const QString& path, int recordLength) {
    maybeFail(Op::OpenRandom);
    m_real.openRandom(fileNumber, path, recordLength);
}

QByteArray FaultyFiles::getRecord(int fileNumber, int recordNumber) {
    maybeFail(Op::GetRecord);
    return m_real.getRecord(fileNumber, recordNumber);
}

void FaultyFiles::putRecord(int fileNumber, int recordNumber, const QByteArray& bytes) {
    maybeFail(Op::PutRecord);
    m_real.putRecord(fileNumber, recordNumber, bytes);
}

void FaultyFiles::openAppend(int fileNumber, const QString& path) {
    maybeFail(Op::OpenAppend);
    m_real.openAppend(fileNumber, path);
}

void FaultyFiles::openOutput(int fileNumber, const QString& path) {
    maybeFail(Op::OpenOutput);
    m_real.openOutput(fileNumber, path);
}

void FaultyFiles::print(int fileNumber, const QByteArray& bytes) {
    maybeFail(Op::Print);
    m_real.print(fileNumber, bytes);
}

void FaultyFiles::close(int fileNumber) {
    // A close that fails still lets go of the file, as the operating system does.
    try {
        maybeFail(Op::Close);
    } catch (const RuntimeError&) {
        m_real.close(fileNumber);
        throw;
    }
    m_real.close(fileNumber);
}

TestRig::TestRig() {
    // By default every pass of a wait loop takes 10 ms of the manual clock.
    events.onDoEvents = [this] { clock.advance(0.01); };
}

} // namespace vx::testing
