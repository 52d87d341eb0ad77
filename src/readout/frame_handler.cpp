#include "frame_handler.h"

#include "form/frame_decoding.h"
#include "platform/error_trap.h"

namespace vx {

namespace {
QString latin1(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}
} // namespace

void FrameHandler::handleFrame(const QByteArray& line) {
    const DecodedFrame frame = decodeFrame(line);

    m_form.資料顯示窗.setCaption(latin1(line));
    m_form.labX顯示.setCaption(latin1(frame.x));
    m_form.labY顯示.setCaption(latin1(frame.y));
    m_form.labZ顯示.setCaption(latin1(frame.z));
    m_form.markReadingsFresh();

    m_platform.events.doEvents();
    if (!m_form.window.loaded())
        return; // the window was closed meanwhile: nothing of it may be touched now

    if (frame.threeAxes) {
        m_state.twoAxis = false;
        if (!m_form.mnu鎖住按鍵.checked())
            showLayout(true);
    } else {
        m_state.twoAxis = true;
        showLayout(false);
    }

    m_form.showUnit(frame.unit);

    if (frame.recordMarker)
        m_state.recordRequest = true;
    if (m_state.recordRequest) {
        m_state.recordRequest = false;
        writeRecord(line);
    }
}

// Both arrangements set the same controls, in the same order.
void FrameHandler::showLayout(bool threeAxes) {
    const int height = threeAxes ? ThreeAxisFrameHeight : TwoAxisFrameHeight;
    m_form.cmdZ.setVisible(threeAxes);
    m_form.Frame歸零.setHeight(height);
    m_form.labZ顯示.setVisible(threeAxes);
    m_form.Frame顯示.setHeight(height);
    m_form.cmdIM.setVisible(threeAxes);
    m_form.cmdTF.setVisible(threeAxes);
    m_form.Frame功能鍵.setHeight(height);
    m_form.window.setCaption(MainForm::axesCaption(threeAxes));
}

// The record is the line as it came, then CR LF. Without a log file the count drops to 0 and the
// line is not kept; a write that fails otherwise is not counted and the operator is told. The beep
// confirms a record on the disk, so it sounds for nothing else. The count shows what is on the disk
// before anything told of the CSV row can hold the screen.
void FrameHandler::writeRecord(const QByteArray& line) {
    m_state.recordCount += 1;
    bool written = true;
    try {
        continueOn(
            err::BadFileNumber,
            [&] { m_platform.files.print(fileno::LogFile, line + QByteArrayLiteral("\r\n")); },
            [&] {
                m_state.recordCount = 0;
                written = false;
            });
    } catch (const RuntimeError& error) {
        m_state.recordCount -= 1;
        m_form.lab計數顯示.setCaption(QString::number(m_state.recordCount));
        m_form.records.tell(RecordOutcome::Outcome::Failed);
        m_platform.dialogs.msgBox(
            tr("這筆資料沒有寫入記錄檔：\n%1\n\n%2")
                .arg(error.description(), QString::fromLatin1(line).trimmed()),
            mb::Exclamation);
        return;
    }
    m_form.lab計數顯示.setCaption(QString::number(m_state.recordCount));
    m_form.records.tell(written ? RecordOutcome::Outcome::Written : RecordOutcome::Outcome::Failed);
    if (!written)
        return;
    m_platform.sound.beep();
    if (recordWritten)
        recordWritten(line);
}

} // namespace vx
