<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_TW">
<context>
    <name>AppInfo</name>
    <message>
        <source>版本 </source>
        <translation>Version </translation>
    </message>
</context>
<context>
    <name>BigReadoutWindow</name>
    <message>
        <source>公制 mm</source>
        <translation>Metric mm</translation>
    </message>
    <message>
        <source>英制 in</source>
        <translation>Imperial in</translation>
    </message>
    <message>
        <source>大字顯示</source>
        <translation>Big readout</translation>
    </message>
    <message>
        <source>記錄沒有寫入</source>
        <translation>Record not written</translation>
    </message>
    <message>
        <source>無信號</source>
        <translation>No signal</translation>
    </message>
</context>
<context>
    <name>CsvRecords</name>
    <message>
        <source>CSV 檔無法開啟，記錄只寫入記錄檔：</source>
        <translation>The CSV file cannot be opened. Records go to the log file only:</translation>
    </message>
    <message>
        <source>這筆資料已寫入記錄檔，但沒有寫入 CSV 檔：</source>
        <translation>This record is in the log file, but not in the CSV file:</translation>
    </message>
    <message>
        <source>CSV 檔沒有寫入</source>
        <translation>CSV file not written</translation>
    </message>
    <message>
        <source>CSV 檔的資料列與記錄檔最後的記錄對不上：
%1
%2

之後的記錄照常寫入這兩個檔案。</source>
        <translation>The rows of the CSV file do not match the last records of the log file:
%1
%2

Further records go to both files as usual.</translation>
    </message>
    <message>
        <source>記錄檔最後的記錄在 CSV 檔中沒有資料列，也無法補上：</source>
        <translation>The last records of the log file have no rows in the CSV file, and they cannot be added:</translation>
    </message>
</context>
<context>
    <name>FrameHandler</name>
    <message>
        <source>這筆資料沒有寫入記錄檔：
%1

%2</source>
        <translation>This record was not written to the log file:
%1

%2</translation>
    </message>
</context>
<context>
    <name>HelpCommands</name>
    <message>
        <source>該程式專接Vx515用</source>
        <translation>This program works with the Vx515 counter only.</translation>
    </message>
</context>
<context>
    <name>Keypad</name>
    <message>
        <source>按鍵沒有送到計數器：
%1</source>
        <translation>The key did not reach the counter:
%1</translation>
    </message>
</context>
<context>
    <name>LinkStartup</name>
    <message>
        <source>無信號</source>
        <translation>No signal</translation>
    </message>
    <message>
        <source>傳輸埠錯誤</source>
        <translation>Port error</translation>
    </message>
    <message>
        <source>傳輸埠無法開啟</source>
        <translation>Port cannot be opened</translation>
    </message>
    <message>
        <source>%1：這是個人設定 [Ports] %2= 指定的裝置，請接上這個裝置或更正設定</source>
        <translation>%1: this is the device that [Ports] %2= names in your settings. Plug it in, or correct the setting</translation>
    </message>
</context>
<context>
    <name>LogCommands</name>
    <message>
        <source>開啟</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>文字檔案 (*.txt)|*.txt|所有檔案|*.*</source>
        <translation>Text files (*.txt)|*.txt|All files|*.*</translation>
    </message>
    <message>
        <source>記錄檔無法開啟，資料不會被保存：
%1

%2</source>
        <translation>The log file cannot be opened. Records will not be saved:
%1

%2</translation>
    </message>
    <message>
        <source>關閉記錄檔時發生錯誤：
%1</source>
        <translation>Error while closing the log file:
%1</translation>
    </message>
</context>
<context>
    <name>MainForm</name>
    <message>
        <source>無資料輸入</source>
        <translation>No data yet</translation>
    </message>
    <message>
        <source>USB輸入的原始資料</source>
        <translation>Raw line from USB</translation>
    </message>
    <message>
        <source>計數:</source>
        <translation>Count:</translation>
    </message>
    <message>
        <source>存檔筆數</source>
        <translation>Records saved</translation>
    </message>
    <message>
        <source>暫停/繼續</source>
        <translation>Pause/continue</translation>
    </message>
    <message>
        <source>歸零</source>
        <translation>Zero</translation>
    </message>
    <message>
        <source>X</source>
        <translation>X</translation>
    </message>
    <message>
        <source>X軸歸零</source>
        <translation>Zero X axis</translation>
    </message>
    <message>
        <source>Y</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>Y軸歸零</source>
        <translation>Zero Y axis</translation>
    </message>
    <message>
        <source>Z</source>
        <translation>Z</translation>
    </message>
    <message>
        <source>Z軸歸零</source>
        <translation>Zero Z axis</translation>
    </message>
    <message>
        <source>顯示</source>
        <translation>Readings</translation>
    </message>
    <message>
        <source>X軸測量出的值</source>
        <translation>X axis reading</translation>
    </message>
    <message>
        <source>Y軸測量出的值</source>
        <translation>Y axis reading</translation>
    </message>
    <message>
        <source>Z軸測量出的值</source>
        <translation>Z axis reading</translation>
    </message>
    <message>
        <source>功能鍵</source>
        <translation>Functions</translation>
    </message>
    <message>
        <source>D/R</source>
        <translation>D/R</translation>
    </message>
    <message>
        <source>直徑/半徑</source>
        <translation>Diameter/radius</translation>
    </message>
    <message>
        <source>DIV</source>
        <translation>DIV</translation>
    </message>
    <message>
        <source>按此鑑後再按X軸或Y軸除二</source>
        <translation>Press this, then X or Y to halve it</translation>
    </message>
    <message>
        <source>ABS</source>
        <translation>ABS</translation>
    </message>
    <message>
        <source>絕對值/相對值</source>
        <translation>Absolute/relative</translation>
    </message>
    <message>
        <source>RS</source>
        <translation>RS</translation>
    </message>
    <message>
        <source>RS232輸出</source>
        <translation>Record (RS232 output)</translation>
    </message>
    <message>
        <source>I/M</source>
        <translation>I/M</translation>
    </message>
    <message>
        <source>公制英制轉換</source>
        <translation>Metric/imperial</translation>
    </message>
    <message>
        <source>T/F</source>
        <translation>T/F</translation>
    </message>
    <message>
        <source>UnDo取消</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>檔案(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>新增(&amp;N)</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>開啟(&amp;O)</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>關閉(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>結束(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>傳輸速率(&amp;C)</source>
        <translation>&amp;Comm</translation>
    </message>
    <message>
        <source>說明(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>內容(&amp;C)</source>
        <translation>&amp;Contents</translation>
    </message>
    <message>
        <source>X軸歸零(F1)</source>
        <translation>Zero X axis (F1)</translation>
    </message>
    <message>
        <source>鎖住按鍵</source>
        <translation>Lock keys</translation>
    </message>
    <message>
        <source>關於(&amp;A)</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>RS232傳輸狀態</source>
        <translation>RS232 line status</translation>
    </message>
    <message>
        <source>傳輸狀態</source>
        <translation>Line status</translation>
    </message>
    <message>
        <source>日期</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>時間</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>1200</source>
        <translation>1200</translation>
    </message>
    <message>
        <source>2400(&amp;9)</source>
        <translation>2400(&amp;9)</translation>
    </message>
    <message>
        <source>4800(&amp;4)</source>
        <translation>4800(&amp;4)</translation>
    </message>
    <message>
        <source>9600(&amp;2)</source>
        <translation>9600(&amp;2)</translation>
    </message>
    <message>
        <source>19200(&amp;1)</source>
        <translation>19200(&amp;1)</translation>
    </message>
    <message>
        <source>Port%1</source>
        <translation>Port%1</translation>
    </message>
    <message>
        <source>三軸顯示</source>
        <translation>Three-axis readout</translation>
    </message>
    <message>
        <source>二軸顯示</source>
        <translation>Two-axis readout</translation>
    </message>
    <message>
        <source>Go</source>
        <translation>Go</translation>
    </message>
    <message>
        <source>Halt</source>
        <translation>Halt</translation>
    </message>
    <message>
        <source>無輸出檔案設定</source>
        <translation>No log file</translation>
    </message>
    <message>
        <source>公&#x3000;  &#x3000;&#x3000;制</source>
        <translation>m m</translation>
    </message>
    <message>
        <source>英&#x3000;  &#x3000;&#x3000;制</source>
        <translation>in</translation>
    </message>
    <message>
        <source>%1%2</source>
        <comment>a line event, then the time of day</comment>
        <translation>%1 %2</translation>
    </message>
</context>
<context>
    <name>NumberedFiles</name>
    <message>
        <source>%1：%2 (不是一般檔案，而是裝置、管道、資料夾或連結；請選一般的檔案)</source>
        <translation>%1: %2 (not a regular file but a device, pipe, folder or link; choose a regular file)</translation>
    </message>
    <message>
        <source>%1：檔名是空的</source>
        <translation>%1: the file name is empty</translation>
    </message>
</context>
<context>
    <name>PollCycle</name>
    <message>
        <source>USB斷線或Vx515沒開機</source>
        <translation>USB cable unplugged or Vx515 switched off</translation>
    </message>
    <message>
        <source>USB無信號</source>
        <translation>No USB signal</translation>
    </message>
    <message>
        <source>傳輸埠未開啟，無法讀取Vx515，程式即將結束。
請確認USB線已接上、Vx515已開機，再重新啟動程式。</source>
        <translation>No port is open, so the Vx515 cannot be read. The program will end.
Check that the USB cable is plugged in and the Vx515 is on, then start the program again.</translation>
    </message>
    <message>
        <source>傳輸埠未開啟，無法讀取Vx515，程式即將結束。
%1
請排除上述問題，再重新啟動程式。</source>
        <translation>No port is open, so the Vx515 cannot be read. The program will end.
%1
Sort out the problems above, then start the program again.</translation>
    </message>
    <message>
        <source>傳輸埠無法開啟</source>
        <translation>Port cannot be opened</translation>
    </message>
    <message>
        <source>USB已重新連線</source>
        <translation>USB connected again</translation>
    </message>
</context>
<context>
    <name>PortMenus</name>
    <message>
        <source>請輸入傳輸埠</source>
        <translation>Enter the port number</translation>
    </message>
    <message>
        <source>傳輸埠錯誤!</source>
        <translation>Port error!</translation>
    </message>
    <message>
        <source>傳輸埠未開啟</source>
        <translation>Port not open</translation>
    </message>
</context>
<context>
    <name>PortSettingsFile</name>
    <message>
        <source>%1：速率「%2」太長</source>
        <translation>%1: speed &quot;%2&quot; is too long</translation>
    </message>
    <message>
        <source>%1：%2 的速率記錄長度為 %3</source>
        <translation>%1: the speed record of %2 is %3 long</translation>
    </message>
    <message>
        <source>傳輸埠設定檔「%1」無法開啟或寫入：
%2

程式照常執行，但傳輸埠與速率的選擇不會被保存。</source>
        <translation>The port settings file &quot;%1&quot; cannot be opened or written:
%2

The program runs as usual, but the port and speed you choose will not be kept.</translation>
    </message>
</context>
<context>
    <name>PortToolTips</name>
    <message>
        <source>（設定指定）</source>
        <translation> (named in settings)</translation>
    </message>
    <message>
        <source>（設定指定，現為 %1）</source>
        <translation> (named in settings, now %1)</translation>
    </message>
    <message>
        <source>（%1）</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <source>：已連接</source>
        <translation>: plugged in</translation>
    </message>
    <message>
        <source>：未連接</source>
        <translation>: not plugged in</translation>
    </message>
</context>
<context>
    <name>PosixNumberedFiles</name>
    <message>
        <source>%1：%2 (%3)</source>
        <translation>%1: %2 (%3)</translation>
    </message>
    <message>
        <source>%1：%2 (不是一般檔案，而是管道、裝置或資料夾；請選一般的檔案)</source>
        <translation>%1: %2 (not a regular file but a pipe, device or folder; choose a regular file)</translation>
    </message>
    <message>
        <source>%1：#%2</source>
        <translation>%1: #%2</translation>
    </message>
    <message>
        <source>%1：檔名是空的</source>
        <translation>%1: the file name is empty</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>是其他使用者建立的符號連結，不會經由它寫入</source>
        <translation>a symbolic link made by another user; nothing is written through it</translation>
    </message>
    <message>
        <source>是指向不存在檔案的符號連結，不會經由它建立檔案</source>
        <translation>a symbolic link to a file that does not exist; no file is created through it</translation>
    </message>
    <message>
        <source>是符號連結，而它指向的不是一般檔案，不會經由它寫入</source>
        <translation>a symbolic link that does not lead to a regular file; nothing is written through it</translation>
    </message>
    <message>
        <source>屬於其他使用者，不會寫入</source>
        <translation>belongs to another user; it is not written</translation>
    </message>
    <message>
        <source>開啟之後已被刪除、移走或取代</source>
        <translation>deleted, moved or replaced since it was opened</translation>
    </message>
</context>
<context>
    <name>PosixSerial</name>
    <message>
        <source>%1：COM%2，請先關閉再換傳輸埠</source>
        <translation>%1: COM%2; close it before you change the port</translation>
    </message>
    <message>
        <source>%1：%2（應為 1 到 255）</source>
        <translation>%1: %2 (must be 1 to 255)</translation>
    </message>
    <message>
        <source>%1：%2 無法設為「%3」(%4)</source>
        <translation>%1: %2 cannot be set to &quot;%3&quot; (%4)</translation>
    </message>
    <message>
        <source>%1：COM%2</source>
        <translation>%1: COM%2</translation>
    </message>
    <message>
        <source>不存在</source>
        <translation>does not exist</translation>
    </message>
    <message>
        <source>不是終端裝置</source>
        <translation>is not a terminal device</translation>
    </message>
    <message>
        <source>%1：COM%2 (%3)</source>
        <translation>%1: COM%2 (%3)</translation>
    </message>
    <message>
        <source>%1：%2 (%3)</source>
        <translation>%1: %2 (%3)</translation>
    </message>
    <message>
        <source>%1：%2 沒有在 %3 毫秒內收下資料</source>
        <translation>%1: %2 did not take the data within %3 ms</translation>
    </message>
    <message>
        <source>傳輸設定「%1」無法使用：只支援無同位檢查 (N)、8 個資料位元、1 或 2 個停止位元</source>
        <translation>Line settings &quot;%1&quot; cannot be used: only no parity (N), 8 data bits and 1 or 2 stop bits</translation>
    </message>
    <message>
        <source>傳輸設定「%1」無法使用：不支援速率 %2</source>
        <translation>Line settings &quot;%1&quot; cannot be used: speed %2 is not supported</translation>
    </message>
    <message>
        <source>%1：COM%2 (%3) %4</source>
        <translation>%1: COM%2 (%3) %4</translation>
    </message>
    <message>
        <source>傳輸埠 COM%1 正被其他程式使用：%2 已被鎖定，請先關閉使用這個裝置的程式</source>
        <translation>Port COM%1 is in use by another program: %2 is locked. Close the program that uses this device first</translation>
    </message>
    <message>
        <source>沒有開啟傳輸埠 COM%1 (%2) 的權限：請把使用者加入 dialout 群組（sudo usermod -aG dialout $USER），然後登出再登入</source>
        <translation>No permission to open port COM%1 (%2): add the user to the dialout group (sudo usermod -aG dialout $USER), then log out and in again</translation>
    </message>
</context>
<context>
    <name>QtHelpViewer</name>
    <message>
        <source>找不到說明檔 %1</source>
        <translation>Help file %1 not found</translation>
    </message>
    <message>
        <source>無法以桌面的檢視程式開啟說明檔 %1</source>
        <translation>The desktop&apos;s viewer cannot open the help file %1</translation>
    </message>
</context>
<context>
    <name>QtSettingsStore</name>
    <message>
        <source>無法寫入設定檔 %1</source>
        <translation>Cannot write the settings file %1</translation>
    </message>
    <message>
        <source>不是一般檔案，而是管道、裝置或資料夾</source>
        <translation>not a regular file but a pipe, device or folder</translation>
    </message>
    <message>
        <source>檔案太大：%1 位元組，上限是 %2</source>
        <translation>too large: %1 bytes, the limit is %2</translation>
    </message>
</context>
<context>
    <name>RecordKey</name>
    <message>
        <source>無法辨認這個按鍵</source>
        <translation>cannot be read as a key</translation>
    </message>
    <message>
        <source>這個按鍵已有其他用途</source>
        <translation>already has another use</translation>
    </message>
    <message>
        <source>設定檔中的記錄鍵 RecordKey=%1 %2，記錄鍵改用 F12。</source>
        <translation>The record key RecordKey=%1 in the settings file %2; F12 is the record key instead.</translation>
    </message>
</context>
<context>
    <name>RuntimeError</name>
    <message>
        <source>%1：%2(%3)</source>
        <translation>%1: %2(%3)</translation>
    </message>
    <message>
        <source>%1：「%2」</source>
        <translation>%1: &quot;%2&quot;</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>數值超出範圍</source>
        <translation>Overflow: number out of range</translation>
    </message>
    <message>
        <source>型態不符合：文字不是數字</source>
        <translation>Type mismatch: the text is not a number</translation>
    </message>
    <message>
        <source>檔案名稱或代碼錯誤：檔案未開啟</source>
        <translation>Bad file name or number: the file is not open</translation>
    </message>
    <message>
        <source>找不到檔案</source>
        <translation>File not found</translation>
    </message>
    <message>
        <source>檔案模式錯誤</source>
        <translation>Bad file mode</translation>
    </message>
    <message>
        <source>記錄長度錯誤</source>
        <translation>Bad record length</translation>
    </message>
    <message>
        <source>檔案已開啟</source>
        <translation>File already open</translation>
    </message>
    <message>
        <source>裝置輸入/輸出錯誤</source>
        <translation>Device I/O error</translation>
    </message>
    <message>
        <source>磁碟已滿</source>
        <translation>Disk full</translation>
    </message>
    <message>
        <source>沒有使用權限</source>
        <translation>Permission denied</translation>
    </message>
    <message>
        <source>路徑/檔案存取錯誤</source>
        <translation>Path/file access error</translation>
    </message>
    <message>
        <source>找不到路徑</source>
        <translation>Path not found</translation>
    </message>
    <message>
        <source>屬性值無效</source>
        <translation>Invalid property value</translation>
    </message>
    <message>
        <source>控制項陣列元素不存在</source>
        <translation>Control array element does not exist</translation>
    </message>
    <message>
        <source>已選擇取消</source>
        <translation>Cancel was selected</translation>
    </message>
    <message>
        <source>索引超出範圍</source>
        <translation>Index out of bounds</translation>
    </message>
    <message>
        <source>無法開啟說明檔</source>
        <translation>Cannot open the help file</translation>
    </message>
    <message>
        <source>傳輸埠號碼無效</source>
        <translation>Invalid port number</translation>
    </message>
    <message>
        <source>傳輸埠已開啟</source>
        <translation>Port already open</translation>
    </message>
    <message>
        <source>傳輸埠正被其他程式使用</source>
        <translation>Port in use by another program</translation>
    </message>
    <message>
        <source>沒有開啟傳輸埠的權限</source>
        <translation>No permission to open the port</translation>
    </message>
    <message>
        <source>傳輸設定無效</source>
        <translation>Invalid line settings</translation>
    </message>
    <message>
        <source>無法設定傳輸埠狀態</source>
        <translation>Cannot set the port state</translation>
    </message>
    <message>
        <source>傳輸埠未開啟</source>
        <translation>Port not open</translation>
    </message>
    <message>
        <source>讀取傳輸埠時發生錯誤</source>
        <translation>Error reading the port</translation>
    </message>
    <message>
        <source>USB斷線或裝置已移除</source>
        <translation>USB unplugged or device removed</translation>
    </message>
    <message>
        <source>寫入傳輸埠時發生錯誤</source>
        <translation>Error writing to the port</translation>
    </message>
    <message>
        <source>應用程式定義或物件定義錯誤</source>
        <translation>Application-defined or object-defined error</translation>
    </message>
    <message>
        <source>執行階段錯誤 &apos;%1&apos;：

%2</source>
        <translation>Run-time error &apos;%1&apos;:

%2</translation>
    </message>
</context>
<context>
    <name>SerialComm</name>
    <message>
        <source>%1：RThreshold %2（此傳輸元件不發出接收事件，只能是 0）</source>
        <translation>%1: RThreshold %2 (this port raises no receive events; it can only be 0)</translation>
    </message>
    <message>
        <source>%1：EOFEnable（此傳輸元件把字元 26 當一般資料）</source>
        <translation>%1: EOFEnable (this port takes character 26 as ordinary data)</translation>
    </message>
    <message>
        <source>%1：OutBufferSize %2</source>
        <translation>%1: OutBufferSize %2</translation>
    </message>
    <message>
        <source>傳輸設定「%1」無效：應為「速率,N,8,2」，例如 9600,N,8,2</source>
        <translation>Line settings &quot;%1&quot; are not valid: they must be &quot;speed,N,8,2&quot;, for example 9600,N,8,2</translation>
    </message>
</context>
<context>
    <name>SerialEvents</name>
    <message>
        <source>信號斷接</source>
        <translation>Break signal</translation>
    </message>
    <message>
        <source>接收信號框架錯誤</source>
        <translation>Framing error</translation>
    </message>
    <message>
        <source>發射信號過多無法處理</source>
        <translation>Overrun: a character was lost</translation>
    </message>
    <message>
        <source>接收信號過多無法處理</source>
        <translation>Receive buffer overflow</translation>
    </message>
    <message>
        <source>接收信號檢查碼錯誤</source>
        <translation>Parity error</translation>
    </message>
    <message>
        <source>發射緩衝器滿載</source>
        <translation>Transmit buffer full</translation>
    </message>
    <message>
        <source>Unexpected error retrieving DCB</source>
        <translation>Unexpected error retrieving DCB</translation>
    </message>
    <message>
        <source>DSR信號有變化</source>
        <translation>DSR changed</translation>
    </message>
    <message>
        <source>收到震鈴信號</source>
        <translation>Ring signal</translation>
    </message>
    <message>
        <source>收得足夠字元</source>
        <translation>Enough characters received</translation>
    </message>
    <message>
        <source>送出足夠字元</source>
        <translation>Enough characters sent</translation>
    </message>
    <message>
        <source>收到EOF(chr(26))</source>
        <translation>EOF received (chr(26))</translation>
    </message>
</context>
<context>
    <name>SerialPort</name>
    <message>
        <source>傳輸設定「%1」無法使用：只支援無同位檢查 (N)、8 個資料位元、1 或 2 個停止位元</source>
        <translation>Line settings &quot;%1&quot; cannot be used: only no parity (N), 8 data bits and 1 or 2 stop bits</translation>
    </message>
    <message>
        <source>傳輸埠 COM%1 正被其他程式使用：%2 已被開啟，請先關閉使用這個裝置的程式</source>
        <translation>Port COM%1 is in use by another program: %2 is open. Close the program that uses this device first</translation>
    </message>
    <message>
        <source>不存在</source>
        <translation>does not exist</translation>
    </message>
    <message>
        <source>不是傳輸埠</source>
        <translation>is not a serial port</translation>
    </message>
    <message>
        <source>%1：%2 沒有在 %3 毫秒內收下資料</source>
        <translation>%1: %2 did not take the data within %3 ms</translation>
    </message>
</context>
<context>
    <name>Shutdown</name>
    <message>
        <source>%1關閉時發生錯誤：
%2</source>
        <translation>Error while closing the %1:
%2</translation>
    </message>
    <message>
        <source>記錄檔</source>
        <translation>log file</translation>
    </message>
    <message>
        <source>傳輸埠設定檔</source>
        <translation>port settings file</translation>
    </message>
</context>
<context>
    <name>SplashForm</name>
    <message>
        <source>Orvane</source>
        <translation>Orvane</translation>
    </message>
    <message>
        <source>授權使用</source>
        <translation>Licensed</translation>
    </message>
    <message>
        <source>青松量測工坊</source>
        <translation>Qingsong Metrology</translation>
    </message>
    <message>
        <source>Vx電腦顯示</source>
        <translation>Vx Readout</translation>
    </message>
    <message>
        <source>W2000/XP 操作平台</source>
        <translation>W2000/XP platform</translation>
    </message>
    <message>
        <source>版本 1.0</source>
        <translation>Version 1.0</translation>
    </message>
    <message>
        <source>版權所有</source>
        <translation>Copyright</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>這程式已執行</source>
        <translation>This program is already running</translation>
    </message>
    <message>
        <source>個人設定檔無法使用，程式以預設值執行，設定也不會保存：
%1</source>
        <translation>The user settings file cannot be used. The program runs with its defaults, and settings are not saved:
%1</translation>
    </message>
</context>
<context>
    <name>WorkFolder</name>
    <message>
        <source>無法使用資料夾 %1：%2</source>
        <translation>Cannot use the folder %1: %2</translation>
    </message>
</context>
</TS>
