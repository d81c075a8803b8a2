<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CommandLine</name>
    <message>
        <source>--connect needs an IPv4 address.</source>
        <translation>--connect 需要一个 IPv4 地址。</translation>
    </message>
    <message>
        <source>Not an IPv4 address: %1</source>
        <translation>不是有效的 IPv4 地址：%1</translation>
    </message>
    <message>
        <source>%1 needs a file name.</source>
        <translation>%1 需要文件名。</translation>
    </message>
    <message>
        <source>--static-ip-from needs an IPv4 address.</source>
        <translation>--static-ip-from 需要一个 IPv4 地址。</translation>
    </message>
    <message>
        <source>--wifi-password needs the password.</source>
        <translation>--wifi-password 需要密码。</translation>
    </message>
    <message>
        <source>--port needs a port number (1 to 65535).</source>
        <translation>--port 需要端口号（1 到 65535）。</translation>
    </message>
    <message>
        <source>Only one of --export-profile, --apply-profile and --compare-profile at a time.</source>
        <translation>--export-profile、--apply-profile 和 --compare-profile 一次只能用一个。</translation>
    </message>
    <message>
        <source>%1 needs --connect ADDRESS.</source>
        <translation>%1 需要 --connect 地址。</translation>
    </message>
    <message>
        <source>%1 takes one printer, not %2.</source>
        <translation>%1 只用于一台打印机，而不是 %2 台。</translation>
    </message>
    <message>
        <source>--static-ip-from goes with --apply-profile.</source>
        <translation>--static-ip-from 需与 --apply-profile 一起使用。</translation>
    </message>
    <message>
        <source>--static-ip-from %1 runs past 255.255.255.255 for %2 printers.</source>
        <translation>--static-ip-from %1 用于 %2 台打印机会超过 255.255.255.255。</translation>
    </message>
    <message>
        <source>--port goes with --export-profile, --apply-profile or --compare-profile.</source>
        <translation>--port 需与 --export-profile、--apply-profile 或 --compare-profile 一起使用。</translation>
    </message>
    <message>
        <source>--wifi-password goes with --export-profile.</source>
        <translation>--wifi-password 需与 --export-profile 一起使用。</translation>
    </message>
    <message>
        <source>--diagnose goes alone, not with %1.</source>
        <translation>--diagnose 须单独使用，不能与 %1 同用。</translation>
    </message>
</context>
<context>
    <name>Diagnosis</name>
    <message>
        <source>A printer</source>
        <translation>一台打印机</translation>
    </message>
    <message>
        <source>USB:</source>
        <translation>USB：</translation>
    </message>
    <message>
        <source>Network:</source>
        <translation>网络：</translation>
    </message>
    <message>
        <source>%1 (%2) at %3: usable</source>
        <translation>%1（%2）位于 %3：可用</translation>
    </message>
    <message>
        <source>%1 (%2): %3</source>
        <translation>%1（%2）：%3</translation>
    </message>
    <message>
        <source>no USB printer with an identifier on the list (%1)</source>
        <translation>没有标识符在列表中的 USB 打印机（%1）</translation>
    </message>
    <message>
        <source>%1 (sent)</source>
        <translation>%1（已发送）</translation>
    </message>
    <message>
        <source>%1 (send failed: %2)</source>
        <translation>%1（发送失败：%2）</translation>
    </message>
    <message>
        <source>no interface to search but loopback</source>
        <translation>除回环外没有可搜索的接口</translation>
    </message>
    <message>
        <source>searched %1</source>
        <translation>已搜索 %1</translation>
    </message>
    <message>
        <source>%1 at %2: </source>
        <translation>%1 位于 %2：</translation>
    </message>
    <message>
        <source>command port %1 takes connections - usable</source>
        <translation>命令端口 %1 接受连接 - 可用</translation>
    </message>
    <message>
        <source>on another subnet (%1, this computer: %2) - its address can be set over USB on the Ethernet page</source>
        <translation>在另一个子网（%1，本机：%2）- 可通过 USB 在“以太网”页设置其地址</translation>
    </message>
    <message>
        <source>answered the search, but %1 refused the connection</source>
        <translation>已应答搜索，但 %1 拒绝了连接</translation>
    </message>
    <message>
        <source>answered the search, but %1 did not answer within %2 s</source>
        <translation>已应答搜索，但 %1 在 %2 秒内没有应答</translation>
    </message>
    <message>
        <source>answered the search, but %1 could not be reached: %2</source>
        <translation>已应答搜索，但无法连到 %1：%2</translation>
    </message>
    <message>
        <source>nothing answered the search: type the printer&apos;s address in the connect dialog</source>
        <translation>没有设备应答搜索：请在连接对话框中输入打印机地址</translation>
    </message>
</context>
<context>
    <name>DialogConfigureWiFi</name>
    <message>
        <source>&amp;OK</source>
        <translation>确定(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>取消(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;SSID:</source>
        <translation>SSID(&amp;S)：</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>密码(&amp;P)：</translation>
    </message>
    <message>
        <source>Configure Wi-Fi</source>
        <translation>配置 Wi-Fi</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
</context>
<context>
    <name>DialogConnect</name>
    <message>
        <source>&amp;Scan</source>
        <translation>扫描(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>连接(&amp;C)</translation>
    </message>
    <message>
        <source>C&amp;ancel</source>
        <translation>取消(&amp;A)</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>地址：</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>型号</translation>
    </message>
    <message>
        <source>SN</source>
        <translation>序列号</translation>
    </message>
    <message>
        <source>Connection Type</source>
        <translation>连接类型</translation>
    </message>
    <message>
        <source>IPv4 address of a printer</source>
        <translation>打印机的 IPv4 地址</translation>
    </message>
    <message>
        <source>Connect to Printer</source>
        <translation>连接打印机</translation>
    </message>
    <message>
        <source>Network (%1)</source>
        <translation>网络（%1）</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Invalid IP address.</source>
        <translation>无效的 IP 地址。</translation>
    </message>
    <message>
        <source>Connecting to %1...</source>
        <translation>正在连接 %1...</translation>
    </message>
    <message>
        <source>Searching USB printers...</source>
        <translation>正在搜索 USB 打印机...</translation>
    </message>
    <message numerus="yes">
        <source>Searching the network: %1 s left, %n found</source>
        <translation>
            <numerusform>正在搜索网络：剩余 %1 秒，已找到 %n 台</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Search finished: %n found</source>
        <translation>
            <numerusform>搜索完成：找到 %n 台</numerusform>
        </translation>
    </message>
    <message>
        <source>No printer answered. Type the printer&apos;s IPv4 address in the Address field and press Connect.</source>
        <translation>没有打印机应答。请在“地址”栏中输入打印机的 IPv4 地址，然后点击“连接”。</translation>
    </message>
    <message>
        <source>Apply &amp;Profile...</source>
        <translation>应用配置文件(&amp;P)...</translation>
    </message>
    <message>
        <source>Applies a settings profile to the selected network printers, several at a time. USB printers cannot take part.</source>
        <translation>将设置配置文件应用到所选的网络打印机，多台同时进行。USB 打印机不能参与。</translation>
    </message>
    <message>
        <source>Apply Profile</source>
        <translation>应用配置文件</translation>
    </message>
    <message>
        <source>Profiles (*.json)</source>
        <translation>配置文件 (*.json)</translation>
    </message>
    <message>
        <source>Could not read the profile %1:
%2</source>
        <translation>无法读取配置文件 %1：
%2</translation>
    </message>
    <message>
        <source>&amp;Diagnose...</source>
        <translation>诊断(&amp;D)...</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Right-click the row to copy the fix: %1</source>
        <translation>右键单击该行可复制解决方法：%1</translation>
    </message>
    <message>
        <source>USB printer %1</source>
        <translation>USB 打印机 %1</translation>
    </message>
    <message>
        <source>on another subnet (%1, this computer: %2)</source>
        <translation>在另一个子网（%1，本机：%2）</translation>
    </message>
    <message>
        <source>Connecting may work through a router. Otherwise set the printer&apos;s address over USB on the Ethernet page.</source>
        <translation>经路由器可能可以连接。否则请通过 USB 在“以太网”页设置打印机地址。</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1（%2）</translation>
    </message>
    <message>
        <source>No network interface to search on.</source>
        <translation>没有可搜索的网络接口。</translation>
    </message>
    <message>
        <source>Searched %1.</source>
        <translation>已搜索 %1。</translation>
    </message>
    <message>
        <source>The send failed on %1.</source>
        <translation>在 %1 上发送失败。</translation>
    </message>
    <message>
        <source>The printer answered the search, but not on its command port %1:%2. %3</source>
        <translation>打印机应答了搜索，但其命令端口 %1:%2 没有应答。%3</translation>
    </message>
    <message>
        <source>Copy fix</source>
        <translation>复制解决方法</translation>
    </message>
</context>
<context>
    <name>DialogDiagnosis</name>
    <message>
        <source>&amp;Copy</source>
        <translation>复制(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Run Again</source>
        <translation>重新运行(&amp;R)</translation>
    </message>
    <message>
        <source>C&amp;lose</source>
        <translation>关闭(&amp;L)</translation>
    </message>
    <message>
        <source>Diagnosis</source>
        <translation>诊断</translation>
    </message>
    <message>
        <source>Diagnosing...</source>
        <translation>正在诊断...</translation>
    </message>
</context>
<context>
    <name>DialogDownloadNvImage</name>
    <message>
        <source>Diffuse</source>
        <translation>扩散</translation>
    </message>
    <message>
        <source>Ordered</source>
        <translation>有序</translation>
    </message>
    <message>
        <source>Threshold</source>
        <translation>阈值</translation>
    </message>
    <message>
        <source>Keep Aspect Ratio</source>
        <translation>保持宽高比</translation>
    </message>
    <message>
        <source>Dithering Mode</source>
        <translation>抖动模式</translation>
    </message>
    <message>
        <source>Image Size</source>
        <translation>图像尺寸</translation>
    </message>
    <message>
        <source>Key Code</source>
        <translation>键码</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>浏览...</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>打印</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>下载</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>W:</source>
        <translation>宽：</translation>
    </message>
    <message>
        <source>px</source>
        <translation>像素</translation>
    </message>
    <message>
        <source>H:</source>
        <translation>高：</translation>
    </message>
    <message>
        <source>kc1:</source>
        <translation>kc1：</translation>
    </message>
    <message>
        <source>kc2:</source>
        <translation>kc2：</translation>
    </message>
    <message>
        <source>Download NV Image</source>
        <translation>下载 NV 图像</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Image Files (*.bmp *.jpg *.png);;All Files (*.*)</source>
        <translation>图像文件 (*.bmp *.jpg *.png);;所有文件 (*.*)</translation>
    </message>
    <message>
        <source>%1x%2x%3b</source>
        <translation>%1x%2x%3 位</translation>
    </message>
    <message>
        <source>Please specify the key code.</source>
        <translation>请指定键码。</translation>
    </message>
    <message>
        <source>kc1 and kc2 must be printable ASCII character (character code range: 32-126).</source>
        <translation>kc1 和 kc2 必须是可打印的 ASCII 字符（字符编码范围：32-126）。</translation>
    </message>
    <message>
        <source>Cannot read &quot;%1&quot; as an image (BMP, JPEG or PNG).</source>
        <translation>无法将“%1”读取为图像（BMP、JPEG 或 PNG）。</translation>
    </message>
    <message>
        <source>Test print of the image</source>
        <translation>图像测试打印</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Key code &quot;%1%2&quot; is already stored. Overwrite it?</source>
        <translation>键码“%1%2”已存储。是否覆盖？</translation>
    </message>
    <message>
        <source>NV image &quot;%1%2&quot;</source>
        <translation>NV 图像“%1%2”</translation>
    </message>
</context>
<context>
    <name>DialogDualColorSettings</name>
    <message>
        <source>Dual-Color Mode Enabled</source>
        <translation>启用双色模式</translation>
    </message>
    <message>
        <source>Dual-Color Settings</source>
        <translation>双色设置</translation>
    </message>
    <message>
        <source>Standard Printing Energy:</source>
        <translation>标准打印能量：</translation>
    </message>
    <message>
        <source>Black Ratio:</source>
        <translation>黑色比例：</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>应用</translation>
    </message>
    <message>
        <source>Dual-color settings</source>
        <translation>双色设置</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
</context>
<context>
    <name>DialogFontSettings</name>
    <message>
        <source>Font Settings for Different Languages:</source>
        <translation>各语言的字体设置：</translation>
    </message>
    <message>
        <source>Installed Fonts:</source>
        <translation>已安装的字体：</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>刷新(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Install Font...</source>
        <translation>安装字体(&amp;I)...</translation>
    </message>
    <message>
        <source>&amp;Uninstall Font</source>
        <translation>卸载字体(&amp;U)</translation>
    </message>
    <message>
        <source>&amp;Apply</source>
        <translation>应用(&amp;A)</translation>
    </message>
    <message>
        <source>Reset to &amp;Default</source>
        <translation>恢复默认(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>关闭(&amp;C)</translation>
    </message>
    <message>
        <source>Font Settings</source>
        <translation>字体设置</translation>
    </message>
    <message>
        <source>Script</source>
        <translation>文字</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>Font</source>
        <translation>字体</translation>
    </message>
    <message>
        <source>Face Index</source>
        <translation>字体索引</translation>
    </message>
    <message>
        <source>Threshold</source>
        <translation>阈值</translation>
    </message>
    <message>
        <source>Pixel Size (W)</source>
        <translation>像素宽度</translation>
    </message>
    <message>
        <source>Pixel Size (H)</source>
        <translation>像素高度</translation>
    </message>
    <message>
        <source>Advance</source>
        <translation>步进宽度</translation>
    </message>
    <message>
        <source>ct</source>
        <translation>ct</translation>
    </message>
    <message>
        <source>px</source>
        <translation>px</translation>
    </message>
    <message>
        <source>ad</source>
        <translation>ad</translation>
    </message>
    <message>
        <source>Unicode Ranges</source>
        <translation>Unicode 范围</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>文件名</translation>
    </message>
    <message>
        <source>File Size</source>
        <translation>文件大小</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>OpenType Fonts (*.ttf *.ttc *.otf);;All Files (*.*)</source>
        <translation>OpenType 字体 (*.ttf *.ttc *.otf);;所有文件 (*.*)</translation>
    </message>
    <message>
        <source>Installing Font...</source>
        <translation>正在安装字体...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>进度</translation>
    </message>
    <message>
        <source>Confirmation</source>
        <translation>确认</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 字节</translation>
    </message>
    <message>
        <source>Font &quot;%1&quot; not installed: the printer did not list it after the upload</source>
        <translation>字体“%1”未安装：上传后打印机的列表中没有它</translation>
    </message>
    <message>
        <source>Font &quot;%1&quot; installed, digest accepted</source>
        <translation>字体“%1”已安装，摘要校验通过</translation>
    </message>
    <message>
        <source>Restore the printer&apos;s default font settings for every script? The installed font files stay as they are.</source>
        <translation>为所有文字恢复打印机的默认字体设置？已安装的字体文件保持不变。</translation>
    </message>
    <message>
        <source>The file name &quot;%2&quot; is too long for the printer: it takes names of at most %1 characters.</source>
        <translation>文件名“%2”对打印机来说太长：打印机只接受最多 %1 个字符的文件名。</translation>
    </message>
    <message>
        <source>The font file &quot;%2&quot; cannot be read: %1</source>
        <translation>无法读取字体文件“%2”：%1</translation>
    </message>
    <message>
        <source>The font file &quot;%1&quot; is empty: there is nothing to install.</source>
        <translation>字体文件“%1”为空：没有可安装的内容。</translation>
    </message>
    <message>
        <source>%1 of %2 bytes</source>
        <translation>%1 / %2 字节</translation>
    </message>
    <message>
        <source>Font &quot;%1&quot; not installed: the printer refused the upload</source>
        <translation>字体“%1”未安装：打印机拒绝了上传</translation>
    </message>
    <message>
        <source>Font &quot;%2&quot; not installed: upload cancelled after %1; the printer discarded the partial file</source>
        <translation>字体“%2”未安装：上传在 %1 后被取消；打印机已丢弃不完整的文件</translation>
    </message>
    <message>
        <source>Font &quot;%2&quot; not installed: upload cancelled after %1; the link to the printer did not come back</source>
        <translation>字体“%2”未安装：上传在 %1 后被取消；与打印机的连接没有恢复</translation>
    </message>
    <message>
        <source>Uninstall the font &quot;%1&quot; from the printer?</source>
        <translation>从打印机中卸载字体“%1”？</translation>
    </message>
</context>
<context>
    <name>DialogPreferences</name>
    <message>
        <source>&amp;OK</source>
        <translation>确定(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>取消(&amp;C)</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>&amp;Language:</source>
        <translation>语言(&amp;L)：</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>首选项</translation>
    </message>
</context>
<context>
    <name>DialogProfile</name>
    <message>
        <source>&amp;Cancel</source>
        <translation>取消(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>关闭(&amp;C)</translation>
    </message>
    <message>
        <source>Profile %1 of %2 (%3), saved %4</source>
        <translation>配置文件 %1，来自 %2（%3），保存于 %4</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Printer</source>
        <translation>打印机</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>配置文件</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>&amp;Apply</source>
        <translation>应用(&amp;A)</translation>
    </message>
    <message>
        <source>Apply Profile</source>
        <translation>应用配置文件</translation>
    </message>
    <message>
        <source>Compare with Profile</source>
        <translation>与配置文件比较</translation>
    </message>
    <message>
        <source>not supported by %1</source>
        <translation>%1 不支持</translation>
    </message>
    <message>
        <source>No differences</source>
        <translation>没有差异</translation>
    </message>
    <message>
        <source>1 of %1 settings differs</source>
        <translation>%1 项设置中有 1 项不同</translation>
    </message>
    <message>
        <source>%1 of %2 settings differ</source>
        <translation>%2 项设置中有 %1 项不同</translation>
    </message>
    <message>
        <source>Applying the profile and reading the settings back...</source>
        <translation>正在应用配置文件并读回设置...</translation>
    </message>
    <message>
        <source>Applied and verified</source>
        <translation>已应用并核实</translation>
    </message>
    <message>
        <source>To be sent</source>
        <translation>待发送</translation>
    </message>
    <message>
        <source>Unchanged</source>
        <translation>未改变</translation>
    </message>
    <message>
        <source>Not supported by %1</source>
        <translation>%1 不支持</translation>
    </message>
    <message>
        <source>Left out: no password</source>
        <translation>已略过：没有密码</translation>
    </message>
    <message>
        <source>Left out</source>
        <translation>已略过</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>&amp;Differences only</source>
        <translation>仅显示差异(&amp;D)</translation>
    </message>
</context>
<context>
    <name>DialogReconnect</name>
    <message>
        <source>&amp;Cancel</source>
        <translation>取消(&amp;C)</translation>
    </message>
    <message>
        <source>Reconnecting to %1...</source>
        <translation>正在重新连接 %1...</translation>
    </message>
    <message>
        <source>Attempt %1, link lost %2 s ago</source>
        <translation>第 %1 次尝试，连接已断开 %2 秒</translation>
    </message>
</context>
<context>
    <name>DialogRollout</name>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Profile %1, from %2 %3 (%4)</source>
        <translation>配置文件 %1，来自 %2 %3（%4）</translation>
    </message>
    <message>
        <source>Left out, as each printer has its own: %1.</source>
        <translation>已略过（每台打印机各有自己的值）：%1。</translation>
    </message>
    <message>
        <source>, </source>
        <translation>、</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>地址</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>序列号</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>等待中</translation>
    </message>
    <message>
        <source>Apply Profile</source>
        <translation>应用配置文件</translation>
    </message>
    <message>
        <source>running...</source>
        <translation>进行中...</translation>
    </message>
    <message>
        <source>not started</source>
        <translation>未开始</translation>
    </message>
    <message>
        <source>%1 of %2 done</source>
        <translation>已完成 %1/%2</translation>
    </message>
    <message numerus="yes">
        <source>%1; cancelled, %n still running</source>
        <translation>
            <numerusform>%1；已取消，仍有 %n 台在进行</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1; cancelled, %n not started</source>
        <translation>
            <numerusform>%1；已取消，%n 台未开始</numerusform>
        </translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>DialogSerialConnect</name>
    <message>
        <source>&amp;OK</source>
        <translation>确定(&amp;O)</translation>
    </message>
    <message>
        <source>C&amp;ancel</source>
        <translation>取消(&amp;A)</translation>
    </message>
    <message>
        <source>Select a Port to Connect</source>
        <translation>选择要连接的端口</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>&amp;Port Name:</source>
        <translation>端口名称(&amp;P)：</translation>
    </message>
</context>
<context>
    <name>FieldLimits</name>
    <message>
        <source>%1: enter an IPv4 address (0.0.0.0 for none).</source>
        <translation>%1：请输入 IPv4 地址（没有则输入 0.0.0.0）。</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is not an IPv4 address.</source>
        <translation>%1：“%2”不是 IPv4 地址。</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; cannot be sent; only Latin-1 characters can.</source>
        <translation>%1：“%2”无法发送；只能发送 Latin-1 字符。</translation>
    </message>
    <message>
        <source>%1: at most %2 bytes of UTF-8 (this one has %3).</source>
        <translation>%1：最多 %2 字节 UTF-8（当前为 %3 字节）。</translation>
    </message>
    <message>
        <source>%1: a key of %2 characters must be hex digits only (0-9, A-F).</source>
        <translation>%1：%2 个字符的密钥只能由十六进制数字（0-9、A-F）组成。</translation>
    </message>
    <message>
        <source>%1: %2 to %3 characters, or %4 hex digits (this one has %5).</source>
        <translation>%1：须为 %2 到 %3 个字符，或 %4 个十六进制数字（当前为 %5 个）。</translation>
    </message>
</context>
<context>
    <name>Headless</name>
    <message>
        <source>Per-printer settings left out (%1 printers): %2</source>
        <translation>已略过每台打印机各自的设置（%1 台打印机）：%2</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>Profile of %1 (%2, %3) written to %4</source>
        <translation>%1（%2，%3）的配置文件已写入 %4</translation>
    </message>
    <message>
        <source>%1: printer %2, profile %3</source>
        <translation>%1：打印机 %2，配置文件 %3</translation>
    </message>
    <message>
        <source>No differences</source>
        <translation>没有差异</translation>
    </message>
    <message>
        <source>Not supported by %1: %2</source>
        <translation>%1 不支持：%2</translation>
    </message>
    <message>
        <source>%1 assigned from %2 on, one per printer in the order given, with the profile&apos;s netmask and gateway</source>
        <translation>%1 从 %2 起按给出的顺序逐台分配，子网掩码和网关取自配置文件</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Connect</source>
        <translation>连接</translation>
    </message>
    <message>
        <source>Connect to a printer</source>
        <translation>连接打印机</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>断开</translation>
    </message>
    <message>
        <source>Disconnect from the printer</source>
        <translation>断开与打印机的连接</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>重新加载</translation>
    </message>
    <message>
        <source>Reload settings from the printer</source>
        <translation>从打印机重新加载设置</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>首选项</translation>
    </message>
    <message>
        <source>Open the &quot;Preferences&quot; dialog</source>
        <translation>打开“首选项”对话框</translation>
    </message>
    <message>
        <source>Device Information</source>
        <translation>设备信息</translation>
    </message>
    <message>
        <source>Ethernet</source>
        <translation>以太网</translation>
    </message>
    <message>
        <source>4G</source>
        <translation>4G</translation>
    </message>
    <message>
        <source>Wi-Fi</source>
        <translation>Wi-Fi</translation>
    </message>
    <message>
        <source>Serial</source>
        <translation>串口</translation>
    </message>
    <message>
        <source>Audio</source>
        <translation>音频</translation>
    </message>
    <message>
        <source>NV Image</source>
        <translation>NV 图像</translation>
    </message>
    <message>
        <source>Print Settings</source>
        <translation>打印设置</translation>
    </message>
    <message>
        <source>Zomra Cloud Printer Setup %1</source>
        <translation>Zomra 云打印机设置 %1</translation>
    </message>
    <message>
        <source>Attention</source>
        <translation>注意</translation>
    </message>
    <message>
        <source>Unsaved settings will be lost. Continue?</source>
        <translation>未保存的设置将会丢失。是否继续？</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Restart the application to apply language changes.</source>
        <translation>重启应用程序后语言更改才会生效。</translation>
    </message>
    <message>
        <source>Connected (%1)</source>
        <translation>已连接（%1）</translation>
    </message>
    <message>
        <source>Not Connected</source>
        <translation>未连接</translation>
    </message>
    <message>
        <source>Connected (%1), but none of the printer&apos;s answers could be read</source>
        <translation>已连接 (%1)，但无法读取打印机的任何应答</translation>
    </message>
    <message>
        <source>Connected (%1) to another printer: %2, serial number %3</source>
        <translation>已连接 (%1) 到另一台打印机：%2，序列号 %3</translation>
    </message>
    <message>
        <source>Save Profile...</source>
        <translation>保存配置文件...</translation>
    </message>
    <message>
        <source>Save the printer&apos;s settings to a profile file</source>
        <translation>将打印机的设置保存到配置文件</translation>
    </message>
    <message>
        <source>Compare with Profile...</source>
        <translation>与配置文件比较...</translation>
    </message>
    <message>
        <source>Show how the printer&apos;s settings differ from a profile file</source>
        <translation>显示打印机的设置与配置文件有何不同</translation>
    </message>
    <message>
        <source>Apply Profile...</source>
        <translation>应用配置文件...</translation>
    </message>
    <message>
        <source>Give the printer the settings of a profile file</source>
        <translation>将配置文件中的设置写入打印机</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>配置文件</translation>
    </message>
    <message>
        <source>Save, compare or apply a settings profile</source>
        <translation>保存、比较或应用设置配置文件</translation>
    </message>
    <message>
        <source>Save Profile</source>
        <translation>保存配置文件</translation>
    </message>
    <message>
        <source>Profiles (*.json)</source>
        <translation>配置文件 (*.json)</translation>
    </message>
    <message>
        <source>The printer does not tell its Wi-Fi password. Include the password of &quot;%1&quot; in the profile? Anyone with the file can read it.</source>
        <translation>打印机不会告知其 Wi-Fi 密码。要在配置文件中包含“%1”的密码吗？拿到该文件的人都能读到它。</translation>
    </message>
    <message>
        <source>Wi-Fi password of &quot;%1&quot;:</source>
        <translation>“%1”的 Wi-Fi 密码：</translation>
    </message>
    <message>
        <source>The Wi-Fi password</source>
        <translation>Wi-Fi 密码</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Could not save the profile to %1: %2</source>
        <translation>无法将配置文件保存到 %1：%2</translation>
    </message>
    <message>
        <source>Profile of %1 saved to %2</source>
        <translation>%1 的配置文件已保存到 %2</translation>
    </message>
    <message>
        <source>Compare with Profile</source>
        <translation>与配置文件比较</translation>
    </message>
    <message>
        <source>Apply Profile</source>
        <translation>应用配置文件</translation>
    </message>
    <message>
        <source>Could not read the profile %1:
%2</source>
        <translation>无法读取配置文件 %1：
%2</translation>
    </message>
    <message>
        <source>Profile on %1: %2</source>
        <translation>%1 上的配置文件：%2</translation>
    </message>
    <message>
        <source>Diagnose...</source>
        <translation>诊断...</translation>
    </message>
    <message>
        <source>Find out why a printer is not found, and what to do</source>
        <translation>查明为何找不到打印机，以及该怎么办</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
</context>
<context>
    <name>NetworkPage</name>
    <message>
        <source>Print Test Page</source>
        <translation>打印测试页</translation>
    </message>
    <message>
        <source>MAC Address:</source>
        <translation>MAC 地址：</translation>
    </message>
    <message>
        <source>IP Address (DHCP):</source>
        <translation>IP 地址（DHCP）：</translation>
    </message>
    <message>
        <source>Netmask (DHCP):</source>
        <translation>子网掩码（DHCP）：</translation>
    </message>
    <message>
        <source>IP Address (Static):</source>
        <translation>IP 地址（静态）：</translation>
    </message>
    <message>
        <source>Netmask (Static):</source>
        <translation>子网掩码（静态）：</translation>
    </message>
    <message>
        <source>Gateway (Static):</source>
        <translation>网关（静态）：</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Invalid netmask.</source>
        <translation>无效的子网掩码。</translation>
    </message>
    <message>
        <source>No valid IP address.</source>
        <translation>没有有效的 IP 地址。</translation>
    </message>
    <message>
        <source>Test page</source>
        <translation>测试页</translation>
    </message>
</context>
<context>
    <name>PrinterSession</name>
    <message>
        <source>the printer closed the connection</source>
        <translation>打印机关闭了连接</translation>
    </message>
    <message>
        <source>the printer did not answer the handshake</source>
        <translation>打印机没有应答握手</translation>
    </message>
    <message>
        <source>connection refused</source>
        <translation>连接被拒绝</translation>
    </message>
    <message>
        <source>the printer&apos;s answers could not be decrypted</source>
        <translation>无法解密打印机的应答</translation>
    </message>
    <message>
        <source>no printer answered within %1 s</source>
        <translation>%1 秒内没有打印机应答</translation>
    </message>
</context>
<context>
    <name>Profile</name>
    <message>
        <source>Ethernet static address</source>
        <translation>以太网静态地址</translation>
    </message>
    <message>
        <source>Ethernet static netmask</source>
        <translation>以太网静态子网掩码</translation>
    </message>
    <message>
        <source>Ethernet static gateway</source>
        <translation>以太网静态网关</translation>
    </message>
    <message>
        <source>Wi-Fi static address</source>
        <translation>Wi-Fi 静态地址</translation>
    </message>
    <message>
        <source>Wi-Fi static netmask</source>
        <translation>Wi-Fi 静态子网掩码</translation>
    </message>
    <message>
        <source>Wi-Fi static gateway</source>
        <translation>Wi-Fi 静态网关</translation>
    </message>
    <message>
        <source>Wi-Fi network (SSID)</source>
        <translation>Wi-Fi 网络（SSID）</translation>
    </message>
    <message>
        <source>Wi-Fi password</source>
        <translation>Wi-Fi 密码</translation>
    </message>
    <message>
        <source>All audio</source>
        <translation>全部声音</translation>
    </message>
    <message>
        <source>Cloud audio</source>
        <translation>云端声音</translation>
    </message>
    <message>
        <source>Warning audio</source>
        <translation>警告声音</translation>
    </message>
    <message>
        <source>Notice audio</source>
        <translation>提示声音</translation>
    </message>
    <message>
        <source>Paper not taken: voice</source>
        <translation>纸未取走：语音</translation>
    </message>
    <message>
        <source>Paper not taken: beep</source>
        <translation>纸未取走：蜂鸣</translation>
    </message>
    <message>
        <source>Baud rate</source>
        <translation>波特率</translation>
    </message>
    <message>
        <source>Data bits</source>
        <translation>数据位</translation>
    </message>
    <message>
        <source>Stop bits</source>
        <translation>停止位</translation>
    </message>
    <message>
        <source>Parity</source>
        <translation>校验</translation>
    </message>
    <message>
        <source>Specific APN and dial number</source>
        <translation>指定 APN 和拨号号码</translation>
    </message>
    <message>
        <source>APN</source>
        <translation>APN</translation>
    </message>
    <message>
        <source>Dial number</source>
        <translation>拨号号码</translation>
    </message>
    <message>
        <source>UTF-8 mode</source>
        <translation>UTF-8 模式</translation>
    </message>
    <message>
        <source>CJK</source>
        <translation>CJK</translation>
    </message>
    <message>
        <source>Code page</source>
        <translation>代码页</translation>
    </message>
    <message>
        <source>Density</source>
        <translation>浓度</translation>
    </message>
    <message>
        <source>Quality</source>
        <translation>质量</translation>
    </message>
    <message>
        <source>Fine print mode</source>
        <translation>精细打印模式</translation>
    </message>
    <message>
        <source>Paper type</source>
        <translation>纸张类型</translation>
    </message>
    <message>
        <source>Black mark location</source>
        <translation>黑标位置</translation>
    </message>
    <message>
        <source>Cut position</source>
        <translation>切纸位置</translation>
    </message>
    <message>
        <source>Print position</source>
        <translation>打印位置</translation>
    </message>
    <message>
        <source>Feed and cut on cover closed</source>
        <translation>合盖时走纸并切纸</translation>
    </message>
    <message>
        <source>Feed length</source>
        <translation>走纸长度</translation>
    </message>
    <message>
        <source>Stop printing when not taken</source>
        <translation>纸未取走时停止打印</translation>
    </message>
    <message>
        <source>Voice alert when not taken</source>
        <translation>纸未取走时语音提醒</translation>
    </message>
    <message>
        <source>%1 is not an IPv4 address</source>
        <translation>%1 不是 IPv4 地址</translation>
    </message>
    <message>
        <source>%1 is not true or false</source>
        <translation>%1 不是 true 或 false</translation>
    </message>
    <message>
        <source>%1 is not one of %2</source>
        <translation>%1 不在 %2 之中</translation>
    </message>
    <message>
        <source>%1 is not a number</source>
        <translation>%1 不是数字</translation>
    </message>
    <message>
        <source>%1 is not a whole number</source>
        <translation>%1 不是整数</translation>
    </message>
    <message>
        <source>%1 is not in the code page list</source>
        <translation>%1 不在代码页列表中</translation>
    </message>
    <message>
        <source>%1 is out of range (%2 to %3, or 0)</source>
        <translation>%1 超出范围（%2 到 %3，或 0）</translation>
    </message>
    <message>
        <source>%1 is out of range (%2 to %3)</source>
        <translation>%1 超出范围（%2 到 %3）</translation>
    </message>
    <message>
        <source>%1 is not a text</source>
        <translation>%1 不是文本</translation>
    </message>
    <message>
        <source>%1 has characters other than Latin-1</source>
        <translation>%1 含有 Latin-1 以外的字符</translation>
    </message>
    <message>
        <source>%1 is longer than %2 characters</source>
        <translation>%1 超过 %2 个字符</translation>
    </message>
    <message>
        <source>%1 is longer than %2 bytes of UTF-8</source>
        <translation>%1 超过 %2 个 UTF-8 字节</translation>
    </message>
    <message>
        <source>neither a text nor {&quot;secret&quot;: text}</source>
        <translation>既不是文本也不是 {&quot;secret&quot;: 文本}</translation>
    </message>
    <message>
        <source>must be empty, 8 to 63 characters or 64 hex digits (the file&apos;s has %1)</source>
        <translation>必须为空、8 到 63 个字符或 64 个十六进制数字（文件中的有 %1 个）</translation>
    </message>
    <message>
        <source>tool: %1 is not a text</source>
        <translation>tool：%1 不是文本</translation>
    </message>
    <message>
        <source>date: %1 is not a date and time such as %2</source>
        <translation>date：%1 不是像 %2 这样的日期时间</translation>
    </message>
    <message>
        <source>printer: %1 is not a group of settings</source>
        <translation>printer：%1 不是一组设置</translation>
    </message>
    <message>
        <source>printer.%1: unknown setting</source>
        <translation>printer.%1：未知的设置</translation>
    </message>
    <message>
        <source>printer.%1: %2 is not a text</source>
        <translation>printer.%1：%2 不是文本</translation>
    </message>
    <message>
        <source>Not a profile: %1 at character %2</source>
        <translation>不是配置文件：第 %2 个字符处%1</translation>
    </message>
    <message>
        <source>Not a profile: the file holds no JSON object</source>
        <translation>不是配置文件：文件中没有 JSON 对象</translation>
    </message>
    <message>
        <source>Not a profile: it has no formatVersion</source>
        <translation>不是配置文件：没有 formatVersion</translation>
    </message>
    <message>
        <source>Unknown profile format version %1; this tool reads version %2.</source>
        <translation>未知的配置文件格式版本 %1；本工具读取版本 %2。</translation>
    </message>
    <message>
        <source>%1: unknown group of settings</source>
        <translation>%1：未知的设置组</translation>
    </message>
    <message>
        <source>%1: %2 is not a group of settings</source>
        <translation>%1：%2 不是一组设置</translation>
    </message>
    <message>
        <source>%1: unknown setting</source>
        <translation>%1：未知的设置</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>No</source>
        <translation>否</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Odd</source>
        <translation>奇校验</translation>
    </message>
    <message>
        <source>Even</source>
        <translation>偶校验</translation>
    </message>
    <message>
        <source>Receipt</source>
        <translation>收据纸</translation>
    </message>
    <message>
        <source>Paper with Black Mark</source>
        <translation>黑标纸</translation>
    </message>
    <message>
        <source>Side</source>
        <translation>侧边</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>中间</translation>
    </message>
    <message>
        <source>%1 mm</source>
        <translation>%1 毫米</translation>
    </message>
    <message>
        <source>Disable CJK Mode</source>
        <translation>禁用 CJK 模式</translation>
    </message>
</context>
<context>
    <name>ProfileApply</name>
    <message>
        <source>1 setting applied and verified</source>
        <translation>1 项设置已应用并核实</translation>
    </message>
    <message numerus="yes">
        <source>%n settings applied and verified</source>
        <translation>
            <numerusform>%n 项设置已应用并核实</numerusform>
        </translation>
    </message>
    <message>
        <source>the 1 setting already as in the profile</source>
        <translation>这 1 项设置已与配置文件一致</translation>
    </message>
    <message numerus="yes">
        <source>all %n settings already as in the profile</source>
        <translation>
            <numerusform>全部 %n 项设置已与配置文件一致</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n already as in the profile</source>
        <translation>
            <numerusform>%n 项已与配置文件一致</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n not supported by %1</source>
        <translation>
            <numerusform>%n 项 %1 不支持</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n left out (per-printer)</source>
        <translation>
            <numerusform>%n 项已略过（每台打印机各自的）</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n left out</source>
        <translation>
            <numerusform>%n 项已略过</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n failed (%1)</source>
        <translation>
            <numerusform>%n 项失败（%1）</numerusform>
        </translation>
    </message>
    <message>
        <source>no settings in the profile</source>
        <translation>配置文件中没有设置</translation>
    </message>
</context>
<context>
    <name>SettingsPage</name>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
</context>
<context>
    <name>TcpPrinter</name>
    <message>
        <source>connection refused (nothing answers on that port)</source>
        <translation>连接被拒绝（该端口无应答）</translation>
    </message>
    <message>
        <source>the printer closed the connection</source>
        <translation>打印机关闭了连接</translation>
    </message>
    <message>
        <source>address not found</source>
        <translation>找不到地址</translation>
    </message>
    <message>
        <source>no answer within %1 s (wrong address, or the printer is off)</source>
        <translation>%1 秒内无应答（地址错误，或打印机已关机）</translation>
    </message>
    <message>
        <source>the printer sent nothing for %1 s</source>
        <translation>打印机 %1 秒内未发送任何数据</translation>
    </message>
    <message>
        <source>the connection was closed</source>
        <translation>连接已关闭</translation>
    </message>
</context>
<context>
    <name>TcpRawPrint</name>
    <message>
        <source>%1 sent to %2 (%3 bytes)</source>
        <translation>%1 已发送到 %2（%3 字节）</translation>
    </message>
    <message>
        <source>%1 not sent: %2 %3</source>
        <translation>%1 未发送：%2 %3</translation>
    </message>
    <message>
        <source>refused the connection</source>
        <translation>拒绝了连接</translation>
    </message>
    <message>
        <source>closed the connection before the page was written</source>
        <translation>在页面写完之前关闭了连接</translation>
    </message>
    <message>
        <source>did not answer within %1 s (wrong address, or the printer is off)</source>
        <translation>在 %1 秒内没有应答（地址错误，或打印机未开机）</translation>
    </message>
    <message>
        <source>could not be reached: %1</source>
        <translation>无法访问：%1</translation>
    </message>
    <message>
        <source>the USB printer</source>
        <translation>USB 打印机</translation>
    </message>
    <message>
        <source>%1 not sent: the USB printer did not take the bytes</source>
        <translation>%1 未发送：USB 打印机没有接收数据</translation>
    </message>
    <message>
        <source>%1 not sent: no printer is connected</source>
        <translation>%1 未发送：未连接打印机</translation>
    </message>
</context>
<context>
    <name>Transceiver</name>
    <message>
        <source>The printer at %1 did not answer the handshake: %2</source>
        <translation>%1 上的打印机未应答握手：%2</translation>
    </message>
    <message>
        <source>Cannot connect to %1:%2: %3</source>
        <translation>无法连接到 %1:%2：%3</translation>
    </message>
    <message>
        <source>The printer at %1 did not answer the handshake</source>
        <translation>%1 上的打印机未应答握手</translation>
    </message>
</context>
<context>
    <name>UsbDiagnosis</name>
    <message>
        <source>%1 opens: the printer can be used</source>
        <translation>%1 可以打开：打印机可用</translation>
    </message>
    <message>
        <source>The printer is connected but the usblp driver is not bound to it: load it with `sudo modprobe usblp`, or check that it is not blacklisted</source>
        <translation>打印机已连接，但未绑定 usblp 驱动：请用 `sudo modprobe usblp` 加载，或检查它是否被列入黑名单</translation>
    </message>
    <message>
        <source>You may not open %1 (owner %2, group %3, mode %4): install the package&apos;s udev rule, or add yourself to group lp with `sudo usermod -aG lp $USER` and log in again</source>
        <translation>您无权打开 %1（所有者 %2，组 %3，权限 %4）：请安装软件包中的 udev 规则，或用 `sudo usermod -aG lp $USER` 将自己加入 lp 组后重新登录</translation>
    </message>
    <message>
        <source>%1 is held by another program</source>
        <translation>%1 被另一个程序占用</translation>
    </message>
    <message>
        <source>%1 is held by another program: %2</source>
        <translation>%1 被另一个程序占用：%2</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2</source>
        <translation>无法打开 %1：%2</translation>
    </message>
</context>
<context>
    <name>WidgetAudio</name>
    <message>
        <source>Voice</source>
        <translation>语音</translation>
    </message>
    <message>
        <source>Beep</source>
        <translation>蜂鸣</translation>
    </message>
    <message>
        <source>All Audio:</source>
        <translation>全部音频：</translation>
    </message>
    <message>
        <source>Cloud Audio:</source>
        <translation>云音频：</translation>
    </message>
    <message>
        <source>Warning Audio:</source>
        <translation>警告音频：</translation>
    </message>
    <message>
        <source>Notice Audio:</source>
        <translation>通知音频：</translation>
    </message>
    <message>
        <source>Paper Not Taken Audio:</source>
        <translation>纸张未取走音频：</translation>
    </message>
</context>
<context>
    <name>WidgetDeviceInformation</name>
    <message>
        <source>Model:</source>
        <translation>型号：</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>序列号：</translation>
    </message>
    <message>
        <source>HW Version:</source>
        <translation>硬件版本：</translation>
    </message>
    <message>
        <source>Bootloader Version:</source>
        <translation>引导程序版本：</translation>
    </message>
    <message>
        <source>FW Version:</source>
        <translation>固件版本：</translation>
    </message>
    <message>
        <source>ZOMRA APP Version:</source>
        <translation>ZOMRA APP 版本：</translation>
    </message>
    <message>
        <source>Partner APP Version:</source>
        <translation>合作伙伴 APP 版本：</translation>
    </message>
    <message>
        <source>MiniAPP Version:</source>
        <translation>MiniAPP 版本：</translation>
    </message>
    <message>
        <source>Font Version:</source>
        <translation>字体版本：</translation>
    </message>
    <message>
        <source>TTS Version:</source>
        <translation>TTS 版本：</translation>
    </message>
    <message>
        <source>Bluetooth MAC Address:</source>
        <translation>蓝牙 MAC 地址：</translation>
    </message>
    <message>
        <source>Bluetooth Device Name:</source>
        <translation>蓝牙设备名称：</translation>
    </message>
</context>
<context>
    <name>WidgetLan</name>
    <message>
        <source> MAC Address:</source>
        <translation>     MAC地址:</translation>
    </message>
    <message>
        <source>    IP(DHCP):</source>
        <translation>IP地址(DHCP):</translation>
    </message>
    <message>
        <source>     Netmask:</source>
        <translation>    子网掩码:</translation>
    </message>
    <message>
        <source>  IP(Static):</source>
        <translation>IP地址(静态):</translation>
    </message>
    <message>
        <source>Current Time:</source>
        <translation>    当前时间:</translation>
    </message>
    <message>
        <source>*** Ethernet Print Test Page ***</source>
        <translation>*** 以太网打印测试页 ***</translation>
    </message>
    <message>
        <source>*** END ***</source>
        <translation>*** 结束 ***</translation>
    </message>
</context>
<context>
    <name>WidgetNvImage</name>
    <message>
        <source>Download...</source>
        <translation>下载...</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>打印</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Delete All</source>
        <translation>全部删除</translation>
    </message>
    <message>
        <source>Key Code</source>
        <translation>键码</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>大小</translation>
    </message>
    <message>
        <source>&quot;%1%2&quot;</source>
        <translation>&quot;%1%2&quot;</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 字节</translation>
    </message>
    <message>
        <source>%1 of %2 bytes used</source>
        <translation>已用 %1 / %2 字节</translation>
    </message>
    <message>
        <source>Confirmation</source>
        <translation>确认</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>NV image %1 not stored: the printer does not list it</source>
        <translation>NV 图像 %1 未存储：打印机的列表中没有它</translation>
    </message>
    <message>
        <source>NV image %1 stored</source>
        <translation>NV 图像 %1 已存储</translation>
    </message>
    <message>
        <source>NV image %1 deleted</source>
        <translation>NV 图像 %1 已删除</translation>
    </message>
    <message>
        <source>NV images %1 deleted</source>
        <translation>NV 图像 %1 已删除</translation>
    </message>
    <message>
        <source>NV image %1 not deleted: the printer still lists it</source>
        <translation>NV 图像 %1 未删除：打印机的列表中仍有它</translation>
    </message>
    <message>
        <source>NV images %1 not deleted: the printer still lists them</source>
        <translation>NV 图像 %1 未删除：打印机的列表中仍有它们</translation>
    </message>
    <message>
        <source>All NV images deleted</source>
        <translation>所有 NV 图像已删除</translation>
    </message>
    <message>
        <source>Not all NV images deleted: the printer still lists %1 of them</source>
        <translation>未能删除所有 NV 图像：打印机的列表中仍有 %1 个</translation>
    </message>
    <message>
        <source>Printout of NV image %1</source>
        <translation>NV 图像 %1 的打印</translation>
    </message>
    <message>
        <source>Delete the NV image %1 from the printer?</source>
        <translation>从打印机中删除 NV 图像 %1？</translation>
    </message>
    <message>
        <source>Delete the %1 selected NV images from the printer?</source>
        <translation>从打印机中删除选中的 %1 个 NV 图像？</translation>
    </message>
    <message>
        <source>Deletion of NV image %1</source>
        <translation>NV 图像 %1 的删除</translation>
    </message>
    <message>
        <source>Delete all %1 NV images from the printer?</source>
        <translation>从打印机中删除全部 %1 个 NV 图像？</translation>
    </message>
    <message>
        <source>Deletion of all NV images</source>
        <translation>全部 NV 图像的删除</translation>
    </message>
</context>
<context>
    <name>WidgetPrint</name>
    <message>
        <source>  UTF-8 Mode:</source>
        <translation>   UTF-8模式:</translation>
    </message>
    <message>
        <source>         CJK:</source>
        <translation>         CJK:</translation>
    </message>
    <message>
        <source>   Code Page:</source>
        <translation>      代码页:</translation>
    </message>
    <message>
        <source>Current Time:</source>
        <translation>    当前时间:</translation>
    </message>
    <message>
        <source>*** Print Test Page ***</source>
        <translation>*** 打印测试页 ***</translation>
    </message>
    <message>
        <source>*** END ***</source>
        <translation>*** 结束 ***</translation>
    </message>
    <message>
        <source>*** Black Mark Print Test ***</source>
        <translation>*** 黑标打印测试 ***</translation>
    </message>
    <message>
        <source>Current Time: </source>
        <translation>当前时间: </translation>
    </message>
    <message>
        <source>Default Character Set</source>
        <translation>默认字符集</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>打印</translation>
    </message>
    <message>
        <source>Paper Layout</source>
        <translation>纸张布局</translation>
    </message>
    <message>
        <source>On Cover Closed</source>
        <translation>合盖时</translation>
    </message>
    <message>
        <source>On Paper Not Taken</source>
        <translation>纸张未取走时</translation>
    </message>
    <message>
        <source>Fine Print Mode</source>
        <translation>精细打印模式</translation>
    </message>
    <message>
        <source>Feed</source>
        <translation>走纸</translation>
    </message>
    <message>
        <source>mm and cut on cover closed</source>
        <translation>mm 后切纸</translation>
    </message>
    <message>
        <source>Stop Printing</source>
        <translation>停止打印</translation>
    </message>
    <message>
        <source>Voice Alert</source>
        <translation>语音提示</translation>
    </message>
    <message>
        <source>Clear Web Password</source>
        <translation>清除网页密码</translation>
    </message>
    <message>
        <source>Font Settings...</source>
        <translation>字体设置...</translation>
    </message>
    <message>
        <source>Dual-Color Settings...</source>
        <translation>双色设置...</translation>
    </message>
    <message>
        <source>Print Test Page</source>
        <translation>打印测试页</translation>
    </message>
    <message>
        <source>Black Mark Print Test</source>
        <translation>黑标打印测试</translation>
    </message>
    <message>
        <source>Disable CJK Mode</source>
        <translation>禁用 CJK 模式</translation>
    </message>
    <message>
        <source>No</source>
        <translation>否</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>Receipt</source>
        <translation>小票纸</translation>
    </message>
    <message>
        <source>Paper with Black Mark</source>
        <translation>黑标纸</translation>
    </message>
    <message>
        <source>Side</source>
        <translation>侧边</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>中间</translation>
    </message>
    <message>
        <source>UTF-8 Mode:</source>
        <translation>UTF-8 模式：</translation>
    </message>
    <message>
        <source>CJK:</source>
        <translation>CJK：</translation>
    </message>
    <message>
        <source>Code Page:</source>
        <translation>代码页：</translation>
    </message>
    <message>
        <source>Density:</source>
        <translation>浓度：</translation>
    </message>
    <message>
        <source>Quality:</source>
        <translation>质量：</translation>
    </message>
    <message>
        <source>Paper Type:</source>
        <translation>纸张类型：</translation>
    </message>
    <message>
        <source>Black Mark Location:</source>
        <translation>黑标位置：</translation>
    </message>
    <message>
        <source>Cut Position:</source>
        <translation>切纸位置：</translation>
    </message>
    <message>
        <source> mm above the top of black mark</source>
        <translation> mm（黑标顶端上方）</translation>
    </message>
    <message>
        <source>Print Position:</source>
        <translation>打印位置：</translation>
    </message>
    <message>
        <source> mm below the cut position</source>
        <translation> mm（切纸位置下方）</translation>
    </message>
    <message>
        <source>Confirmation</source>
        <translation>确认</translation>
    </message>
    <message>
        <source>Are you sure to clear the web password?</source>
        <translation>确定要清除网页密码吗？</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Test page</source>
        <translation>测试页</translation>
    </message>
    <message>
        <source>Black mark test page</source>
        <translation>黑标测试页</translation>
    </message>
</context>
<context>
    <name>WidgetSerial</name>
    <message>
        <source>Odd Parity</source>
        <translation>奇校验</translation>
    </message>
    <message>
        <source>Even Parity</source>
        <translation>偶校验</translation>
    </message>
    <message>
        <source>No Parity</source>
        <translation>无校验</translation>
    </message>
    <message>
        <source>   Baud Rate: </source>
        <translation>      波特率: </translation>
    </message>
    <message>
        <source>   Data Bits: </source>
        <translation>      数据位: </translation>
    </message>
    <message>
        <source>   Stop Bits: </source>
        <translation>      停止位: </translation>
    </message>
    <message>
        <source>      Parity: </source>
        <translation>      校验位: </translation>
    </message>
    <message>
        <source>Current Time: </source>
        <translation>    当前时间: </translation>
    </message>
    <message>
        <source>*** Serial Print Test Page ***</source>
        <translation>*** 串口打印测试页 ***</translation>
    </message>
    <message>
        <source>*** END ***</source>
        <translation>*** 结束 ***</translation>
    </message>
    <message>
        <source>Print Test Page...</source>
        <translation>打印测试页...</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Odd</source>
        <translation>奇</translation>
    </message>
    <message>
        <source>Even</source>
        <translation>偶</translation>
    </message>
    <message>
        <source>Baud Rate:</source>
        <translation>波特率：</translation>
    </message>
    <message>
        <source>Data Bits:</source>
        <translation>数据位：</translation>
    </message>
    <message>
        <source>Stop Bits:</source>
        <translation>停止位：</translation>
    </message>
    <message>
        <source>Parity:</source>
        <translation>校验位：</translation>
    </message>
    <message>
        <source>no such port</source>
        <translation>没有这个端口</translation>
    </message>
    <message>
        <source>in use by another program</source>
        <translation>正被其他程序使用</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>没有权限</translation>
    </message>
    <message>
        <source>the settings selected on this page are not supported</source>
        <translation>不支持本页选择的设置</translation>
    </message>
    <message>
        <source>not answering (unplugged?)</source>
        <translation>没有响应（已拔出？）</translation>
    </message>
    <message>
        <source>Serial port %1 could not be opened: %2</source>
        <translation>无法打开串口 %1：%2</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Serial test page</source>
        <translation>串口测试页</translation>
    </message>
    <message>
        <source>%1 not sent whole: %2 took %3 of %4 bytes</source>
        <translation>%1 未完整发送：%2 只接收了 %3 / %4 字节</translation>
    </message>
</context>
<context>
    <name>WidgetWiFi</name>
    <message>
        <source> MAC Address:</source>
        <translation>     MAC地址:</translation>
    </message>
    <message>
        <source>    IP(DHCP):</source>
        <translation>IP地址(DHCP):</translation>
    </message>
    <message>
        <source>     Netmask:</source>
        <translation>    子网掩码:</translation>
    </message>
    <message>
        <source>  IP(Static):</source>
        <translation>IP地址(静态):</translation>
    </message>
    <message>
        <source>Current Time:</source>
        <translation>    当前时间:</translation>
    </message>
    <message>
        <source>        SSID:</source>
        <translation>        SSID:</translation>
    </message>
    <message>
        <source>*** Wi-Fi Print Test Page ***</source>
        <translation>*** Wi-Fi 打印测试页 ***</translation>
    </message>
    <message>
        <source>*** END ***</source>
        <translation>*** 结束 ***</translation>
    </message>
    <message>
        <source>Configure SSID...</source>
        <translation>配置 SSID...</translation>
    </message>
    <message>
        <source>SSID:</source>
        <translation>SSID：</translation>
    </message>
</context>
<context>
    <name>WidgetWnet</name>
    <message>
        <source>Use Specific APN and Dial Number</source>
        <translation>使用指定的 APN 和拨号号码</translation>
    </message>
    <message>
        <source>Restart...</source>
        <translation>重启...</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>已禁用</translation>
    </message>
    <message>
        <source>Disabling</source>
        <translation>正在禁用</translation>
    </message>
    <message>
        <source>Enabling</source>
        <translation>正在启用</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>已启用</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>已连接</translation>
    </message>
    <message>
        <source>Connecting</source>
        <translation>正在连接</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>就绪</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>版本：</translation>
    </message>
    <message>
        <source>IMEI:</source>
        <translation>IMEI：</translation>
    </message>
    <message>
        <source>ICCID:</source>
        <translation>ICCID：</translation>
    </message>
    <message>
        <source>IMSI:</source>
        <translation>IMSI：</translation>
    </message>
    <message>
        <source>MCC:</source>
        <translation>MCC：</translation>
    </message>
    <message>
        <source>MNC:</source>
        <translation>MNC：</translation>
    </message>
    <message>
        <source>ISP:</source>
        <translation>运营商：</translation>
    </message>
    <message>
        <source>Longitude:</source>
        <translation>经度：</translation>
    </message>
    <message>
        <source>Latitude:</source>
        <translation>纬度：</translation>
    </message>
    <message>
        <source>RSSI:</source>
        <translation>RSSI：</translation>
    </message>
    <message>
        <source>Status:</source>
        <translation>状态：</translation>
    </message>
    <message>
        <source>APN:</source>
        <translation>APN：</translation>
    </message>
    <message>
        <source>Dial Number:</source>
        <translation>拨号号码：</translation>
    </message>
    <message>
        <source>Confirmation</source>
        <translation>确认</translation>
    </message>
    <message>
        <source>Restart the 4G module?</source>
        <translation>是否重启 4G 模块？</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>4G module restarted: %1</source>
        <translation>4G 模块已重启：%1</translation>
    </message>
    <message>
        <source>4G module did not report %1; gave up after %2 s</source>
        <translation>4G 模块没有报告%1；%2 秒后放弃</translation>
    </message>
    <message>
        <source>Restarting the 4G module: %1 s left</source>
        <translation>正在重启 4G 模块：剩余 %1 秒</translation>
    </message>
</context>
</TS>
