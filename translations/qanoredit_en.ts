<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
  <context>
    <name>qanoredit</name>
    <message>
      <source>关于 QanorEdit</source>
      <translation>About QanorEdit</translation>
    </message>
    <message>
      <source>Qanor简谱编辑器：录入、排版、打印与导出数字简谱</source>
      <translation>Qanor Jianpu Editor: write, lay out, print and export numbered musical notation</translation>
    </message>
    <message>
      <source>Qanor简谱论坛：</source>
      <translation>Qanor Jianpu forum:</translation>
    </message>
    <message>
      <source>确定</source>
      <translation>OK</translation>
    </message>
    <message>
      <source>Qanor简谱编辑器</source>
      <translation>Qanor Jianpu Editor</translation>
    </message>
    <message>
      <source>下列恢复文件已损坏，无法恢复，已跳过：</source>
      <translation>These recovery files are damaged and cannot be recovered; they were skipped:</translation>
    </message>
    <message>
      <source>

这些文件已移到 %1。</source>
      <translation>

The files were moved to %1.</translation>
    </message>
    <message>
      <source>自动保存失败：%1</source>
      <translation>Autosave failed: %1</translation>
    </message>
    <message>
      <source>%1（%2）</source>
      <translation>%1 (%2)</translation>
    </message>
    <message>
      <source>新建(&amp;N)</source>
      <translation>&amp;New</translation>
    </message>
    <message>
      <source>创建新文档
新建</source>
      <translation>Create a new document
New</translation>
    </message>
    <message>
      <source>打开(&amp;O)...</source>
      <translation>&amp;Open...</translation>
    </message>
    <message>
      <source>打开现有文档
打开</source>
      <translation>Open an existing document
Open</translation>
    </message>
    <message>
      <source>导入 MusicXML(&amp;I)...</source>
      <translation>&amp;Import MusicXML...</translation>
    </message>
    <message>
      <source>把 MusicXML 乐谱转换为新的简谱文档
导入 MusicXML</source>
      <translation>Convert a MusicXML score into a new jianpu document
Import MusicXML</translation>
    </message>
    <message>
      <source>关闭(&amp;C)</source>
      <translation>&amp;Close</translation>
    </message>
    <message>
      <source>关闭活动文档
关闭</source>
      <translation>Close the active document
Close</translation>
    </message>
    <message>
      <source>保存(&amp;S)</source>
      <translation>&amp;Save</translation>
    </message>
    <message>
      <source>保存活动文档
保存</source>
      <translation>Save the active document
Save</translation>
    </message>
    <message>
      <source>另存为(&amp;A)...</source>
      <translation>Save &amp;As...</translation>
    </message>
    <message>
      <source>用新名称保存活动文档
另存为</source>
      <translation>Save the active document under a new name
Save As</translation>
    </message>
    <message>
      <source>导出(&amp;E)...</source>
      <translation>&amp;Export...</translation>
    </message>
    <message>
      <source>导出图片、MIDI等
导出</source>
      <translation>Export pictures, MIDI and more
Export</translation>
    </message>
    <message>
      <source>打印(&amp;P)...</source>
      <translation>&amp;Print...</translation>
    </message>
    <message>
      <source>打印活动文档
打印</source>
      <translation>Print the active document
Print</translation>
    </message>
    <message>
      <source>打印预览(&amp;V)</source>
      <translation>Print Pre&amp;view</translation>
    </message>
    <message>
      <source>显示整页
打印预览</source>
      <translation>Show whole pages
Print Preview</translation>
    </message>
    <message>
      <source>打印设置(&amp;R)...</source>
      <translation>P&amp;rint Setup...</translation>
    </message>
    <message>
      <source>更改打印机选项和打印选项
打印设置</source>
      <translation>Change the printer and printing options
Print Setup</translation>
    </message>
    <message>
      <source>退出(&amp;X)</source>
      <translation>E&amp;xit</translation>
    </message>
    <message>
      <source>退出应用程序；提示保存文档
退出</source>
      <translation>Quit the application; asks to save documents
Exit</translation>
    </message>
    <message>
      <source>撤销(&amp;U)</source>
      <translation>&amp;Undo</translation>
    </message>
    <message>
      <source>撤销上一步操作
撤销</source>
      <translation>Undo the last action
Undo</translation>
    </message>
    <message>
      <source>编辑</source>
      <translation>Edit</translation>
    </message>
    <message>
      <source>重做(&amp;R)</source>
      <translation>&amp;Redo</translation>
    </message>
    <message>
      <source>重做上一步撤销的操作
重做</source>
      <translation>Redo the last undone action
Redo</translation>
    </message>
    <message>
      <source>剪切(&amp;T)</source>
      <translation>Cu&amp;t</translation>
    </message>
    <message>
      <source>剪切所选内容并放到剪贴板上
剪切</source>
      <translation>Cut the selection and put it on the clipboard
Cut</translation>
    </message>
    <message>
      <source>复制(&amp;C)</source>
      <translation>&amp;Copy</translation>
    </message>
    <message>
      <source>复制所选内容并放到剪贴板上
复制</source>
      <translation>Copy the selection and put it on the clipboard
Copy</translation>
    </message>
    <message>
      <source>粘贴(&amp;P)</source>
      <translation>&amp;Paste</translation>
    </message>
    <message>
      <source>在插入点插入剪贴板内容
粘贴</source>
      <translation>Insert the clipboard's contents at the caret
Paste</translation>
    </message>
    <message>
      <source>删除(&amp;D)</source>
      <translation>&amp;Delete</translation>
    </message>
    <message>
      <source>删除所选内容，或插入点之后的音符
删除</source>
      <translation>Delete the selection, or the note after the caret
Delete</translation>
    </message>
    <message>
      <source>全选(&amp;L)</source>
      <translation>Select A&amp;ll</translation>
    </message>
    <message>
      <source>选中插入点所在声部的全部内容
全选</source>
      <translation>Select everything in the caret's part
Select All</translation>
    </message>
    <message>
      <source>选择</source>
      <translation>Selection</translation>
    </message>
    <message>
      <source>工具栏(&amp;T)</source>
      <translation>&amp;Toolbar</translation>
    </message>
    <message>
      <source>显示或隐藏工具栏
切换工具栏</source>
      <translation>Show or hide the toolbar
Toggle Toolbar</translation>
    </message>
    <message>
      <source>状态栏(&amp;S)</source>
      <translation>&amp;Status Bar</translation>
    </message>
    <message>
      <source>显示或隐藏状态栏
切换状态栏</source>
      <translation>Show or hide the status bar
Toggle Status Bar</translation>
    </message>
    <message>
      <source>滚动视图(&amp;L)</source>
      <translation>Scro&amp;ll View</translation>
    </message>
    <message>
      <source>切换到无分页、所有内容平铺显示的滚动视图模式
切换到滚动视图模式</source>
      <translation>Switch to the scroll view, everything in one strip without pages
Switch to Scroll View</translation>
    </message>
    <message>
      <source>页面视图(&amp;P)</source>
      <translation>&amp;Page View</translation>
    </message>
    <message>
      <source>切换到页面视图模式
切换到页面视图模式</source>
      <translation>Switch to the page view
Switch to Page View</translation>
    </message>
    <message>
      <source>放大(&amp;I)</source>
      <translation>Zoom &amp;In</translation>
    </message>
    <message>
      <source>放大乐谱
放大</source>
      <translation>Enlarge the score
Zoom In</translation>
    </message>
    <message>
      <source>缩小(&amp;O)</source>
      <translation>Zoom &amp;Out</translation>
    </message>
    <message>
      <source>缩小乐谱
缩小</source>
      <translation>Shrink the score
Zoom Out</translation>
    </message>
    <message>
      <source>实际大小(&amp;Z)</source>
      <translation>Actual Si&amp;ze</translation>
    </message>
    <message>
      <source>按 100% 显示乐谱
实际大小</source>
      <translation>Show the score at 100%
Actual Size</translation>
    </message>
    <message>
      <source>适合宽度(&amp;F)</source>
      <translation>&amp;Fit Width</translation>
    </message>
    <message>
      <source>缩放到页面与窗口同宽
适合宽度</source>
      <translation>Zoom so that the page is as wide as the window
Fit Width</translation>
    </message>
    <message>
      <source>显示水印(&amp;W)</source>
      <translation>Show &amp;Watermark</translation>
    </message>
    <message>
      <source>在每一页的中央显示淡色水印
显示水印</source>
      <translation>Show a pale watermark in the middle of every page
Show Watermark</translation>
    </message>
    <message>
      <source>标题(&amp;T)...</source>
      <translation>&amp;Titles...</translation>
    </message>
    <message>
      <source>输入标题
输入标题</source>
      <translation>Enter the titles
Enter Titles</translation>
    </message>
    <message>
      <source>字体(&amp;F)...</source>
      <translation>&amp;Fonts...</translation>
    </message>
    <message>
      <source>修改字体信息
修改字体信息</source>
      <translation>Change the fonts
Change Fonts</translation>
    </message>
    <message>
      <source>声部名称(&amp;P)...</source>
      <translation>&amp;Part Names...</translation>
    </message>
    <message>
      <source>设置印在每个声部行首的名称
声部名称</source>
      <translation>Set the names printed at the start of each part's lines
Part Names</translation>
    </message>
    <message>
      <source>小节记号(&amp;K)...</source>
      <translation>Measure &amp;Marks...</translation>
    </message>
    <message>
      <source>在插入点所在的小节改变调号、拍号、速度，或标上反复记号
小节记号</source>
      <translation>Change the key, time or tempo at the caret's measure, or mark repeats and jumps over it
Measure Marks</translation>
    </message>
    <message>
      <source>显示小节号(&amp;N)</source>
      <translation>Show Measure &amp;Numbers</translation>
    </message>
    <message>
      <source>在每行谱的上方印出该行第一个小节的序号
显示小节号</source>
      <translation>Print the number of each line's first measure above the line
Show Measure Numbers</translation>
    </message>
    <message>
      <source>隐藏空白声部(&amp;H)</source>
      <translation>&amp;Hide Empty Parts</translation>
    </message>
    <message>
      <source>在第一行之后的各行中，不印只有休止的声部
隐藏空白声部</source>
      <translation>Leave out of the systems after the first a part that only rests in them
Hide Empty Parts</translation>
    </message>
    <message>
      <source>页数(&amp;G)...</source>
      <translation>Pa&amp;ge Count...</translation>
    </message>
    <message>
      <source>把乐谱排进指定的页数：先缩小行距，再缩小谱面
页数</source>
      <translation>Fit the score on a number of pages: systems closer first, then smaller music
Page Count</translation>
    </message>
    <message>
      <source>歌词(&amp;L)...</source>
      <translation>&amp;Lyrics...</translation>
    </message>
    <message>
      <source>在插入点的音符下输入歌词
输入歌词</source>
      <translation>Type lyrics under the notes from the caret
Type Lyrics</translation>
    </message>
    <message>
      <source>歌词</source>
      <translation>Lyrics</translation>
    </message>
    <message>
      <source>粘贴整段歌词</source>
      <translation>Paste Whole Lyrics</translation>
    </message>
    <message>
      <source>把剪贴板中的整段歌词从插入点起填到音符下
粘贴整段歌词</source>
      <translation>Lay whole lyrics from the clipboard under the notes from the caret
Paste Whole Lyrics</translation>
    </message>
    <message>
      <source>检查小节(&amp;M)...</source>
      <translation>Check &amp;Measures...</translation>
    </message>
    <message>
      <source>列出拍数与拍号不符的小节
检查小节</source>
      <translation>List the measures whose beats do not match the time signature
Check Measures</translation>
    </message>
    <message>
      <source>弧线(&amp;A)</source>
      <translation>&amp;Arc</translation>
    </message>
    <message>
      <source>为选中音符添加延音线
添加延音线</source>
      <translation>Tie or slur the selected notes
Add Arc</translation>
    </message>
    <message>
      <source>跳房子(&amp;J)...</source>
      <translation>Volta &amp;Bracket...</translation>
    </message>
    <message>
      <source>添加跳房子
跳房子</source>
      <translation>Add a volta bracket
Volta Bracket</translation>
    </message>
    <message>
      <source>三连音(&amp;3)</source>
      <translation>Triplet (&amp;3)</translation>
    </message>
    <message>
      <source>把选中的音符变为三连音，再按一次恢复
三连音</source>
      <translation>Make the selected notes a triplet; press again to undo it
Triplet</translation>
    </message>
    <message>
      <source>连音(&amp;U)...</source>
      <translation>T&amp;uplet...</translation>
    </message>
    <message>
      <source>把选中的音符变为二连音、四连音、五连音等
连音</source>
      <translation>Make the selected notes a duplet, quadruplet, quintuplet and so on
Tuplet</translation>
    </message>
    <message>
      <source>倚音(&amp;G)...</source>
      <translation>&amp;Grace Notes...</translation>
    </message>
    <message>
      <source>在插入点前的音符前面加上倚音
倚音</source>
      <translation>Add grace notes before the note before the caret
Grace Notes</translation>
    </message>
    <message>
      <source>后倚音(&amp;H)...</source>
      <translation>After-Grace Notes (&amp;H)...</translation>
    </message>
    <message>
      <source>在插入点前的音符后面加上后倚音
后倚音</source>
      <translation>Add grace notes after the note before the caret
After-Grace Notes</translation>
    </message>
    <message>
      <source>去掉和弦音与倚音(&amp;R)</source>
      <translation>&amp;Remove Chord Tones and Grace Notes</translation>
    </message>
    <message>
      <source>去掉插入点前的音符的和弦音与倚音
去掉和弦音与倚音</source>
      <translation>Remove the chord tones and grace notes of the note before the caret
Remove Chord Tones and Grace Notes</translation>
    </message>
    <message>
      <source>和弦记号(&amp;D)...</source>
      <translation>Chor&amp;d Symbols...</translation>
    </message>
    <message>
      <source>在插入点前的音符上方输入和弦记号
和弦记号</source>
      <translation>Type chord symbols over the notes from the note before the caret
Chord Symbols</translation>
    </message>
    <message>
      <source>上方文字(&amp;W)...</source>
      <translation>&amp;Words Above...</translation>
    </message>
    <message>
      <source>在插入点前的音符上方写文字，如 rit.、渐慢
上方文字</source>
      <translation>Write words over the note before the caret, such as rit. or a tempo
Words Above</translation>
    </message>
    <message>
      <source>下方文字(&amp;B)...</source>
      <translation>Words &amp;Below...</translation>
    </message>
    <message>
      <source>在插入点前的音符下方写文字，如 mf、dolce
下方文字</source>
      <translation>Write words under the note before the caret, such as mf or dolce
Words Below</translation>
    </message>
    <message>
      <source>从光标处播放(&amp;P)</source>
      <translation>&amp;Play from Caret</translation>
    </message>
    <message>
      <source>从光标所在的音符开始播放</source>
      <translation>Play from the note at the caret</translation>
    </message>
    <message>
      <source>播放</source>
      <translation>Playback</translation>
    </message>
    <message>
      <source>从头播放(&amp;B)</source>
      <translation>Play from the &amp;Beginning</translation>
    </message>
    <message>
      <source>从乐谱开头开始播放</source>
      <translation>Play from the beginning of the score</translation>
    </message>
    <message>
      <source>暂停(&amp;A)</source>
      <translation>P&amp;ause</translation>
    </message>
    <message>
      <source>暂停或继续播放</source>
      <translation>Pause or resume playback</translation>
    </message>
    <message>
      <source>停止(&amp;S)</source>
      <translation>&amp;Stop</translation>
    </message>
    <message>
      <source>停止播放</source>
      <translation>Stop playback</translation>
    </message>
    <message>
      <source>新建窗口(&amp;N)</source>
      <translation>&amp;New Window</translation>
    </message>
    <message>
      <source>为活动文档打开另一个窗口
新建窗口</source>
      <translation>Open another window on the active document
New Window</translation>
    </message>
    <message>
      <source>层叠(&amp;C)</source>
      <translation>&amp;Cascade</translation>
    </message>
    <message>
      <source>以重叠方式排列窗口
层叠窗口</source>
      <translation>Arrange the windows overlapping
Cascade Windows</translation>
    </message>
    <message>
      <source>平铺(&amp;T)</source>
      <translation>&amp;Tile</translation>
    </message>
    <message>
      <source>以非重叠方式平铺窗口
平铺窗口</source>
      <translation>Arrange the windows side by side
Tile Windows</translation>
    </message>
    <message>
      <source>排列图标(&amp;A)</source>
      <translation>&amp;Arrange Icons</translation>
    </message>
    <message>
      <source>在窗口底部排列图标
排列图标</source>
      <translation>Arrange icons at the bottom of the window
Arrange Icons</translation>
    </message>
    <message>
      <source>键盘指南(&amp;K)</source>
      <translation>&amp;Key Guide</translation>
    </message>
    <message>
      <source>列出所有按键及其作用
键盘指南</source>
      <translation>List every key and what it does
Key Guide</translation>
    </message>
    <message>
      <source>关于 QanorEdit(&amp;A)...</source>
      <translation>&amp;About QanorEdit...</translation>
    </message>
    <message>
      <source>显示程序信息、版本号和版权
关于</source>
      <translation>Show the program's information, version and copyright
About</translation>
    </message>
    <message>
      <source>移动插入点</source>
      <translation>Moving the caret</translation>
    </message>
    <message>
      <source>Shift + 移动插入点的键</source>
      <translation>Shift + a caret key</translation>
    </message>
    <message>
      <source>从插入点起选中到移动后的位置</source>
      <translation>Select from the caret to where it moves</translation>
    </message>
    <message>
      <source>放开选中的内容</source>
      <translation>Let go of the selection</translation>
    </message>
    <message>
      <source>和弦</source>
      <translation>Chords</translation>
    </message>
    <message>
      <source>Ctrl + Alt + 1～7</source>
      <translation>Ctrl + Alt + 1–7</translation>
    </message>
    <message>
      <source>Alt + 1～7</source>
      <translation>Alt + 1–7</translation>
    </message>
    <message>
      <source>为插入点前的音符加一个更低的和弦音</source>
      <translation>Add a lower chord tone to the note before the caret</translation>
    </message>
    <message>
      <source>为插入点前的音符加一个更高的和弦音</source>
      <translation>Add a higher chord tone to the note before the caret</translation>
    </message>
    <message>
      <source>文件(&amp;F)</source>
      <translation>&amp;File</translation>
    </message>
    <message>
      <source>编辑(&amp;E)</source>
      <translation>&amp;Edit</translation>
    </message>
    <message>
      <source>视图(&amp;V)</source>
      <translation>&amp;View</translation>
    </message>
    <message>
      <source>谱面(&amp;S)</source>
      <translation>&amp;Score</translation>
    </message>
    <message>
      <source>音符(&amp;N)</source>
      <translation>&amp;Notes</translation>
    </message>
    <message>
      <source>播放(&amp;L)</source>
      <translation>P&amp;layback</translation>
    </message>
    <message>
      <source>窗口(&amp;W)</source>
      <translation>&amp;Window</translation>
    </message>
    <message>
      <source>帮助(&amp;H)</source>
      <translation>&amp;Help</translation>
    </message>
    <message>
      <source>取消</source>
      <translation>Cancel</translation>
    </message>
    <message>
      <source>文件已经存在</source>
      <translation>File Exists</translation>
    </message>
    <message>
      <source>文件 %1 已存在，
您要覆盖该文件么？</source>
      <translation>The file %1 already exists.
Do you want to replace it?</translation>
    </message>
    <message>
      <source>是</source>
      <translation>Yes</translation>
    </message>
    <message>
      <source>否</source>
      <translation>No</translation>
    </message>
    <message>
      <source>另存为</source>
      <translation>Save As</translation>
    </message>
    <message>
      <source>保存失败，请检查文件路径与扩展名。</source>
      <translation>Saving failed; please check the file path and extension.</translation>
    </message>
    <message>
      <source>保存失败：文件 %1 未能写入，原有文件保持不变。</source>
      <translation>Saving failed: the file %1 was not written; the existing file is unchanged.</translation>
    </message>
    <message>
      <source>Qanor简谱文档 (*.qe)</source>
      <translation>Qanor jianpu documents (*.qe)</translation>
    </message>
    <message>
      <source>未命名</source>
      <translation>Untitled</translation>
    </message>
    <message>
      <source>是否保存对“%1”的更改？</source>
      <translation>Save the changes to “%1”?</translation>
    </message>
    <message>
      <source>保存</source>
      <translation>Save</translation>
    </message>
    <message>
      <source>不保存</source>
      <translation>Don't Save</translation>
    </message>
    <message>
      <source>声部名称</source>
      <translation>Part Names</translation>
    </message>
    <message>
      <source>名称印在第一行谱的行首，简称印在以后各行的行首。</source>
      <translation>The name is printed at the start of the first line, the short name at the start of the later lines.</translation>
    </message>
    <message>
      <source>名称</source>
      <translation>Name</translation>
    </message>
    <message>
      <source>简称</source>
      <translation>Short name</translation>
    </message>
    <message>
      <source>第%1声部</source>
      <translation>Part %1</translation>
    </message>
    <message>
      <source>找不到音符字体 QanorEditSymbol.ttf，谱中的音符将无法显示。</source>
      <translation>The music symbol font QanorEditSymbol.ttf was not found; the notes of the score will not show.</translation>
    </message>
    <message>
      <source>滚动视图没有分页，没有导出任何文件。
请切换到页面视图后再导出。</source>
      <translation>The scroll view has no pages; no file was exported.
Please switch to the page view and export again.</translation>
    </message>
    <message>
      <source>没有可以导出的页面。</source>
      <translation>There are no pages to export.</translation>
    </message>
    <message>
      <source>找不到 General MIDI 音色库，无法导出 WAV 音频。
请安装 timgm6mb-soundfont 或 fluid-soundfont-gm。</source>
      <translation>No General MIDI SoundFont was found, so no WAV audio can be exported.
Please install timgm6mb-soundfont or fluid-soundfont-gm.</translation>
    </message>
    <message>
      <source>乐谱太长，无法保存为 WAV 文件（超过 4 GiB）。
请导出为 MIDI，或使用更快的速度。</source>
      <translation>The score is too long for a WAV file (more than 4 GiB).
Please export MIDI, or use a faster tempo.</translation>
    </message>
    <message>
      <source>无法使用音色库 %1：%2</source>
      <translation>Cannot use the SoundFont %1: %2</translation>
    </message>
    <message>
      <source>已导出 %1 个文件：%2 等</source>
      <translation>Exported %1 files: %2 and others</translation>
    </message>
    <message>
      <source>已导出 %1（速度 %2）</source>
      <translation>Exported %1 (tempo %2)</translation>
    </message>
    <message>
      <source>已导出 %1</source>
      <translation>Exported %1</translation>
    </message>
    <message>
      <source>导出</source>
      <translation>Export</translation>
    </message>
    <message>
      <source>字体</source>
      <translation>Font</translation>
    </message>
    <message>
      <source>颜色(&amp;C)：</source>
      <translation>&amp;Colour:</translation>
    </message>
    <message>
      <source>颜色</source>
      <translation>Colour</translation>
    </message>
    <message>
      <source>大标题</source>
      <translation>Title</translation>
    </message>
    <message>
      <source>小标题</source>
      <translation>Subtitle</translation>
    </message>
    <message>
      <source>普通文字</source>
      <translation>Text</translation>
    </message>
    <message>
      <source>小号文字</source>
      <translation>Small text</translation>
    </message>
    <message>
      <source>普通音符</source>
      <translation>Notes</translation>
    </message>
    <message>
      <source>小节线等</source>
      <translation>Bar lines and marks</translation>
    </message>
    <message>
      <source>倚音/赠音</source>
      <translation>Grace notes</translation>
    </message>
    <message>
      <source>字体设置</source>
      <translation>Font Settings</translation>
    </message>
    <message>
      <source>选择字体(&amp;S)...</source>
      <translation>&amp;Select Font...</translation>
    </message>
    <message>
      <source>应用类别:</source>
      <translation>Applies to:</translation>
    </message>
    <message>
      <source>（小节未编号）</source>
      <translation>(unnumbered measure)</translation>
    </message>
    <message>
      <source>第 %1 小节</source>
      <translation>measure %1</translation>
    </message>
    <message>
      <source>%1：%2 处</source>
      <translation>%1: %2 times</translation>
    </message>
    <message>
      <source>，首见于第 %1 小节</source>
      <translation>, first in measure %1</translation>
    </message>
    <message>
      <source>，%1</source>
      <translation>, %1</translation>
    </message>
    <message>
      <source>导入时有些内容无法用简谱保存，已略去或近似：</source>
      <translation>Some of what the import read cannot be kept in jianpu; it was left out or approximated:</translation>
    </message>
    <message>
      <source>%1：</source>
      <translation>%1:</translation>
    </message>
    <message>
      <source>显示详情</source>
      <translation>Show Details</translation>
    </message>
    <message>
      <source>隐藏详情</source>
      <translation>Hide Details</translation>
    </message>
    <message>
      <source>音符</source>
      <translation>Notes</translation>
    </message>
    <message>
      <source>八度</source>
      <translation>Octave</translation>
    </message>
    <message>
      <source>时值</source>
      <translation>Duration</translation>
    </message>
    <message>
      <source>变音记号</source>
      <translation>Accidental</translation>
    </message>
    <message>
      <source>记号</source>
      <translation>Marks</translation>
    </message>
    <message>
      <source>小节线</source>
      <translation>Bar line</translation>
    </message>
    <message>
      <source>其他命令</source>
      <translation>Other commands</translation>
    </message>
    <message>
      <source>拖动鼠标</source>
      <translation>Drag the mouse</translation>
    </message>
    <message>
      <source>选中拖过的内容</source>
      <translation>Select what is dragged over</translation>
    </message>
    <message>
      <source>Shift + 单击</source>
      <translation>Shift + click</translation>
    </message>
    <message>
      <source>从插入点起选中到单击的位置</source>
      <translation>Select from the caret to the click</translation>
    </message>
    <message>
      <source>和弦记号</source>
      <translation>Chord symbols</translation>
    </message>
    <message>
      <source>键盘指南</source>
      <translation>Key Guide</translation>
    </message>
    <message>
      <source>在乐谱中直接按键输入；字母大小写均可。状态栏显示下一个音符的变音记号、八度和时值。</source>
      <translation>Type straight into the score; letters work in either case. The status bar shows the accidental, octave and duration of the next note.</translation>
    </message>
    <message>
      <source>按键</source>
      <translation>Key</translation>
    </message>
    <message>
      <source>作用</source>
      <translation>What it does</translation>
    </message>
    <message>
      <source>关闭</source>
      <translation>Close</translation>
    </message>
    <message>
      <source>正常</source>
      <translation>Natural</translation>
    </message>
    <message>
      <source>中音</source>
      <translation>Middle</translation>
    </message>
    <message>
      <source>4分音</source>
      <translation>Quarter</translation>
    </message>
    <message>
      <source>还原</source>
      <translation>Natural sign</translation>
    </message>
    <message>
      <source>16分音</source>
      <translation>Sixteenth</translation>
    </message>
    <message>
      <source>文件：%1</source>
      <translation>File: %1</translation>
    </message>
    <message>
      <source>打开此文档</source>
      <translation>Open this document</translation>
    </message>
    <message>
      <source>工具栏</source>
      <translation>Toolbar</translation>
    </message>
    <message>
      <source>语言(&amp;G)</source>
      <translation>Lan&amp;guage</translation>
    </message>
    <message>
      <source>跟随系统</source>
      <translation>Follow the Desktop</translation>
    </message>
    <message>
      <source>中文</source>
      <translation>中文</translation>
    </message>
    <message>
      <source>界面语言将在下次启动编辑器时改变。</source>
      <translation>The interface language changes the next time the editor starts.</translation>
    </message>
    <message>
      <source>就绪</source>
      <translation>Ready</translation>
    </message>
    <message>
      <source>歌词 第</source>
      <translation>Lyrics, verse</translation>
    </message>
    <message>
      <source>段</source>
      <translation> </translation>
    </message>
    <message>
      <source>Qanor简谱%1</source>
      <translation>Qanor Jianpu %1</translation>
    </message>
    <message>
      <source>无法导入 MusicXML 文件 %1：
%2</source>
      <translation>Cannot import the MusicXML file %1:
%2</translation>
    </message>
    <message>
      <source>导入 MusicXML</source>
      <translation>Import MusicXML</translation>
    </message>
    <message>
      <source>MusicXML 乐谱 (*.musicxml *.xml *.mxl)</source>
      <translation>MusicXML scores (*.musicxml *.xml *.mxl)</translation>
    </message>
    <message>
      <source>打开</source>
      <translation>Open</translation>
    </message>
    <message>
      <source>%1: 文件不存在。</source>
      <translation>%1: the file does not exist.</translation>
    </message>
    <message>
      <source>打印设置</source>
      <translation>Print Setup</translation>
    </message>
    <message>
      <source>检查小节</source>
      <translation>Check Measures</translation>
    </message>
    <message>
      <source>转到</source>
      <translation>Go To</translation>
    </message>
    <message>
      <source>重新检查</source>
      <translation>Check Again</translation>
    </message>
    <message>
      <source>每个小节的拍数都与拍号相符。</source>
      <translation>The beats of every measure match the time signature.</translation>
    </message>
    <message>
      <source>有 %1 个小节的拍数与拍号不符（弱起小节除外）：</source>
      <translation>%1 measures do not match the time signature (pickups aside):</translation>
    </message>
    <message>
      <source>第%1小节（第%2声部）：%3了%4（%5/%6 拍中有 %7 拍）</source>
      <translation>Measure %1 (part %2): %4 too %3 (%7 in %5/%6)</translation>
    </message>
    <message>
      <source>多</source>
      <translation>many</translation>
    </message>
    <message>
      <source>少</source>
      <translation>few</translation>
    </message>
    <message>
      <source>换调  1=</source>
      <translation>Key  1=</translation>
    </message>
    <message>
      <source>低八度</source>
      <translation>Octave lower</translation>
    </message>
    <message>
      <source>通常</source>
      <translation>Usual</translation>
    </message>
    <message>
      <source>高八度</source>
      <translation>Octave higher</translation>
    </message>
    <message>
      <source>不带八度点的“1”所发的音</source>
      <translation>The pitch of the “1” without octave dots</translation>
    </message>
    <message>
      <source>“1”的音高</source>
      <translation>Pitch of “1”</translation>
    </message>
    <message>
      <source>换拍</source>
      <translation>Time</translation>
    </message>
    <message>
      <source>散板</source>
      <translation>Free meter</translation>
    </message>
    <message>
      <source>速度</source>
      <translation>Tempo</translation>
    </message>
    <message>
      <source>♩ 四分音符</source>
      <translation>♩ quarter note</translation>
    </message>
    <message>
      <source>♩. 附点四分音符</source>
      <translation>♩. dotted quarter note</translation>
    </message>
    <message>
      <source>♪ 八分音符</source>
      <translation>♪ eighth note</translation>
    </message>
    <message>
      <source>𝅗𝅥 二分音符</source>
      <translation>𝅗𝅥 half note</translation>
    </message>
    <message>
      <source>无</source>
      <translation>None</translation>
    </message>
    <message>
      <source>渐慢、稍快 等</source>
      <translation>rit., poco più mosso, etc.</translation>
    </message>
    <message>
      <source>反复记号</source>
      <translation>Repeats and jumps</translation>
    </message>
    <message>
      <source>Segno 记号（D.S. 从此处反复）</source>
      <translation>Segno (D.S. repeats from here)</translation>
    </message>
    <message>
      <source>Coda 尾声记号（从此处开始尾声）</source>
      <translation>Coda (the coda starts here)</translation>
    </message>
    <message>
      <source>Fine（反复后到此结束）</source>
      <translation>Fine (the end after the repeat)</translation>
    </message>
    <message>
      <source>To Coda（反复后跳到尾声）</source>
      <translation>To Coda (jump to the coda after the repeat)</translation>
    </message>
    <message>
      <source>D.C. 从头反复</source>
      <translation>D.C. (repeat from the beginning)</translation>
    </message>
    <message>
      <source>D.S. 从 Segno 记号处反复</source>
      <translation>D.S. (repeat from the segno)</translation>
    </message>
    <message>
      <source>到结尾</source>
      <translation>to the end</translation>
    </message>
    <message>
      <source>小节末尾：</source>
      <translation>End of measure:</translation>
    </message>
    <message>
      <source>小节记号 — 第%1小节</source>
      <translation>Measure Marks — Measure %1</translation>
    </message>
    <message>
      <source>从本小节起改变调号、拍号或速度；反复记号标在小节上方。</source>
      <translation>From this measure on, change the key, time or tempo; repeat and jump marks stand over the measure.</translation>
    </message>
    <message>
      <source>%1分</source>
      <translation>1/%1</translation>
    </message>
    <message>
      <source>附点</source>
      <translation>Dot</translation>
    </message>
    <message>
      <source>换气</source>
      <translation>Breath</translation>
    </message>
    <message>
      <source>虚线</source>
      <translation>Dashed</translation>
    </message>
    <message>
      <source>隐藏</source>
      <translation>Hidden</translation>
    </message>
    <message>
      <source>音符输入</source>
      <translation>Note Input</translation>
    </message>
    <message>
      <source>%1（按键 %2）</source>
      <translation>%1 (key %2)</translation>
    </message>
    <message>
      <source>第 %1 个字符处不是简谱</source>
      <translation>not jianpu at character %1</translation>
    </message>
    <message>
      <source>音符太多，无法一次粘贴</source>
      <translation>too many notes for one paste</translation>
    </message>
    <message>
      <source>文本不是 UTF-8 编码</source>
      <translation>the text is not UTF-8</translation>
    </message>
    <message>
      <source>其中没有音符</source>
      <translation>the fragment has no notes</translation>
    </message>
    <message>
      <source>不是本编辑器的乐谱片段</source>
      <translation>not a score fragment of this editor</translation>
    </message>
    <message>
      <source>是更新版本的编辑器复制的乐谱片段</source>
      <translation>a score fragment of a newer version of this editor</translation>
    </message>
    <message>
      <source>片段中有无法识别的行</source>
      <translation>an unknown line in the fragment</translation>
    </message>
    <message>
      <source>附加记号所指的音符不在片段中</source>
      <translation>extras that name no note of the fragment</translation>
    </message>
    <message>
      <source>附加记号已损坏</source>
      <translation>damaged extras</translation>
    </message>
    <message>
      <source>附加记号标在不能带记号的内容上</source>
      <translation>extras on something that cannot carry them</translation>
    </message>
    <message>
      <source>连线或反复跳跃线所指的音符不在片段中</source>
      <translation>a tie or bracket names no note of the fragment</translation>
    </message>
    <message>
      <source>连线没有连接两个音符</source>
      <translation>a tie that joins no two notes</translation>
    </message>
    <message>
      <source>反复跳跃线没有跨过小节</source>
      <translation>a bracket over no measures</translation>
    </message>
    <message>
      <source>反复跳跃线的标签不是文字</source>
      <translation>a bracket label that is not text</translation>
    </message>
    <message>
      <source>歌词段号超出 1 至 %1</source>
      <translation>words of a verse numbered other than 1 to %1</translation>
    </message>
    <message>
      <source>第 %1 段歌词出现了两次</source>
      <translation>the words of verse %1 given twice</translation>
    </message>
    <message>
      <source>第 %1 段歌词的字数多于音符</source>
      <translation>more words in verse %1 than notes</translation>
    </message>
    <message>
      <source>第 %1 段歌词中有过长的字词</source>
      <translation>a word too long in verse %1</translation>
    </message>
    <message>
      <source>歌词行已损坏</source>
      <translation>a damaged line of words</translation>
    </message>
    <message>
      <source>歌词所指的音符不在片段中</source>
      <translation>words that name no note of the fragment</translation>
    </message>
    <message>
      <source>歌词的顺序有误</source>
      <translation>words out of order</translation>
    </message>
    <message>
      <source>歌词不是文字</source>
      <translation>words that are not text</translation>
    </message>
    <message>
      <source>歌词中有过长的字词</source>
      <translation>a word too long</translation>
    </message>
    <message>
      <source>内容已损坏</source>
      <translation>the content is damaged</translation>
    </message>
    <message>
      <source>速度：每分钟的四分音符数</source>
      <translation>Tempo: quarter notes per minute</translation>
    </message>
    <message>
      <source> 速度 </source>
      <translation> Tempo </translation>
    </message>
    <message>
      <source>恢复文档</source>
      <translation>Recover Documents</translation>
    </message>
    <message>
      <source>Qanor简谱编辑器上次没有正常退出。下列文档有未保存的更改，已自动保存，可以恢复：</source>
      <translation>The Qanor Jianpu Editor did not quit normally last time. These documents had unsaved changes that were saved automatically and can be recovered:</translation>
    </message>
    <message>
      <source>文档</source>
      <translation>Document</translation>
    </message>
    <message>
      <source>标题</source>
      <translation>Title</translation>
    </message>
    <message>
      <source>最后自动保存</source>
      <translation>Last autosaved</translation>
    </message>
    <message>
      <source>从未保存过的乐谱</source>
      <translation>A score never saved</translation>
    </message>
    <message>
      <source>恢复</source>
      <translation>Recover</translation>
    </message>
    <message>
      <source>丢弃</source>
      <translation>Discard</translation>
    </message>
    <message>
      <source>以后再说</source>
      <translation>Later</translation>
    </message>
    <message>
      <source>输入歌词时用 Backspace 删除；按 Esc 结束歌词输入后再删除音符。</source>
      <translation>While typing lyrics Backspace deletes them; press Esc to end the lyrics before deleting notes.</translation>
    </message>
    <message>
      <source>只能删除同一声部中的内容。</source>
      <translation>Only what is in one part can be deleted.</translation>
    </message>
    <message>
      <source>所选内容无法删除：乐谱不能接受这样的改动</source>
      <translation>The selection cannot be deleted: the score cannot take such a change</translation>
    </message>
    <message>
      <source>第%1小节%2了%3</source>
      <translation>Measure %1: %3 too %2</translation>
    </message>
    <message>
      <source>页数</source>
      <translation>Page Count</translation>
    </message>
    <message>
      <source>把乐谱排成几页（0：需要几页就几页）：</source>
      <translation>Fit the score on how many pages (0: as many as it takes):</translation>
    </message>
    <message>
      <source>乐谱排不进 %1 页：行距缩到最小、谱面缩小到 %2% 也不够。现在按需要的 %3 页排。</source>
      <translation>The score does not fit on %1 pages, even with its systems as close as they go and its music at %2%. It is laid out on the %3 pages it needs.</translation>
    </message>
    <message>
      <source>插入点之后没有可以配歌词的音符。</source>
      <translation>There is no note after the caret to put lyrics under.</translation>
    </message>
    <message>
      <source>输入歌词：空格或 Tab 到下一个音符，“-”连到下一个音符，Esc 结束。</source>
      <translation>Typing lyrics: Space or Tab moves to the next note, “-” joins to the next note, Esc ends.</translation>
    </message>
    <message>
      <source>剪贴板中没有歌词。</source>
      <translation>There are no lyrics on the clipboard.</translation>
    </message>
    <message>
      <source>请先在乐谱中点击，确定歌词开始的小节。</source>
      <translation>Please click in the score first to choose the measure where the lyrics start.</translation>
    </message>
    <message>
      <source>还有 %1 个字没有音符可配。</source>
      <translation>%1 more characters have no note to go under.</translation>
    </message>
    <message>
      <source>插入点之后没有可以加和弦记号的音符。</source>
      <translation>There is no note after the caret to put a chord symbol over.</translation>
    </message>
    <message>
      <source>无法识别的和弦记号：%1</source>
      <translation>Chord symbol not understood: %1</translation>
    </message>
    <message>
      <source>和弦记号：%1▏%2（Tab 或空格放上并到下一个音符，Esc 结束）</source>
      <translation>Chord symbol: %1▏%2 (Tab or Space puts it on and moves to the next note, Esc ends)</translation>
    </message>
    <message>
      <source>  现在是 %1</source>
      <translation>  now %1</translation>
    </message>
    <message>
      <source>和弦记号输入结束。</source>
      <translation>Chord symbol input ended.</translation>
    </message>
    <message>
      <source>正标题：</source>
      <translation>Title:</translation>
    </message>
    <message>
      <source>副标题：</source>
      <translation>Subtitle:</translation>
    </message>
    <message>
      <source>作者一：</source>
      <translation>Author 1:</translation>
    </message>
    <message>
      <source>作者二：</source>
      <translation>Author 2:</translation>
    </message>
    <message>
      <source>作者三：</source>
      <translation>Author 3:</translation>
    </message>
    <message>
      <source>注释一：</source>
      <translation>Comment 1:</translation>
    </message>
    <message>
      <source>注释二：</source>
      <translation>Comment 2:</translation>
    </message>
    <message>
      <source>散板（不用拍号）</source>
      <translation>Free meter (no time signature)</translation>
    </message>
    <message>
      <source>不带八度点的“1”所发的音；改变它不改变谱面上的数字</source>
      <translation>The pitch of the “1” without octave dots; changing it does not change the digits of the score</translation>
    </message>
    <message>
      <source>“1”的音高：</source>
      <translation>Pitch of “1”:</translation>
    </message>
    <message>
      <source>中速、稍快 等</source>
      <translation>Moderato, poco più mosso, etc.</translation>
    </message>
    <message>
      <source>速度：</source>
      <translation>Tempo:</translation>
    </message>
    <message>
      <source>（通常）</source>
      <translation>(usual)</translation>
    </message>
    <message>
      <source>只能复制同一声部中的内容。</source>
      <translation>Only what is in one part can be copied.</translation>
    </message>
    <message>
      <source>剪贴板中的内容无法粘贴为简谱：%1</source>
      <translation>The clipboard's contents cannot be pasted as jianpu: %1</translation>
    </message>
    <message>
      <source>请先在乐谱中点击，确定粘贴的位置。</source>
      <translation>Please click in the score first to choose where to paste.</translation>
    </message>
    <message>
      <source>乐谱不能在此处接受它</source>
      <translation>the score cannot take it here</translation>
    </message>
    <message>
      <source>插入点左移一格</source>
      <translation>Move the caret one place left</translation>
    </message>
    <message>
      <source>插入点右移一格</source>
      <translation>Move the caret one place right</translation>
    </message>
    <message>
      <source>上一行（同一行谱的上一声部，再上一行谱）</source>
      <translation>Line up (the part above in the same system, then the system above)</translation>
    </message>
    <message>
      <source>下一行（同一行谱的下一声部，再下一行谱）</source>
      <translation>Line down (the part below in the same system, then the system below)</translation>
    </message>
    <message>
      <source>行首</source>
      <translation>Start of the line</translation>
    </message>
    <message>
      <source>行尾</source>
      <translation>End of the line</translation>
    </message>
    <message>
      <source>向上一屏</source>
      <translation>One screen up</translation>
    </message>
    <message>
      <source>向下一屏</source>
      <translation>One screen down</translation>
    </message>
    <message>
      <source>乐谱开头</source>
      <translation>Start of the score</translation>
    </message>
    <message>
      <source>乐谱末尾</source>
      <translation>End of the score</translation>
    </message>
    <message>
      <source>请先选中要用弧线连起来的音符（拖动鼠标或按住 Shift 移动插入点）。</source>
      <translation>Please select the notes to join with an arc first (drag the mouse, or hold Shift while moving the caret).</translation>
    </message>
    <message>
      <source>弧线只能连接同一声部中的音符。</source>
      <translation>An arc can only join notes of one part.</translation>
    </message>
    <message>
      <source>所选内容中没有可以用弧线连起来的两个音符。</source>
      <translation>The selection holds no two notes an arc can join.</translation>
    </message>
    <message>
      <source>请先选中要加跳房子的小节（拖动鼠标或按住 Shift 移动插入点）。</source>
      <translation>Please select the measures for the volta bracket first (drag the mouse, or hold Shift while moving the caret).</translation>
    </message>
    <message>
      <source>跳房子只能加在同一声部的小节上。</source>
      <translation>A volta bracket can only go over measures of one part.</translation>
    </message>
    <message>
      <source>请输入说明文字</source>
      <translation>Please enter the label</translation>
    </message>
    <message>
      <source>请先选中同一小节里要变为三连音的音符。</source>
      <translation>Please first select the notes of one measure to make a triplet.</translation>
    </message>
    <message>
      <source>请先选中同一小节里要变为连音的音符。</source>
      <translation>Please first select the notes of one measure to make a tuplet.</translation>
    </message>
    <message>
      <source>三连音（3 个音占 2 个音的时值）</source>
      <translation>Triplet (3 notes in the time of 2)</translation>
    </message>
    <message>
      <source>二连音（2 个音占 3 个音的时值）</source>
      <translation>Duplet (2 notes in the time of 3)</translation>
    </message>
    <message>
      <source>四连音（4 个音占 3 个音的时值）</source>
      <translation>Quadruplet (4 notes in the time of 3)</translation>
    </message>
    <message>
      <source>五连音（5 个音占 4 个音的时值）</source>
      <translation>Quintuplet (5 notes in the time of 4)</translation>
    </message>
    <message>
      <source>六连音（6 个音占 4 个音的时值）</source>
      <translation>Sextuplet (6 notes in the time of 4)</translation>
    </message>
    <message>
      <source>七连音（7 个音占 4 个音的时值）</source>
      <translation>Septuplet (7 notes in the time of 4)</translation>
    </message>
    <message>
      <source>连音</source>
      <translation>Tuplet</translation>
    </message>
    <message>
      <source>选中的音符变为：</source>
      <translation>Make the selected notes a:</translation>
    </message>
    <message>
      <source>连音只能用于同一小节里的音符。</source>
      <translation>A tuplet can only hold notes of one measure.</translation>
    </message>
    <message>
      <source>插入点前没有音符。</source>
      <translation>There is no note before the caret.</translation>
    </message>
    <message>
      <source>插入点前没有可以加和弦音的音符。</source>
      <translation>There is no note before the caret to add a chord tone to.</translation>
    </message>
    <message>
      <source>后倚音</source>
      <translation>After-Grace Notes</translation>
    </message>
    <message>
      <source>倚音</source>
      <translation>Grace Notes</translation>
    </message>
    <message>
      <source>倚音的数字 1～7，可连写；前加 #、b、n 为升、降、还原，后加 ' 或 , 为高、低八度（如 56、#4、1'）：</source>
      <translation>The grace notes' digits 1–7, written together; #, b or n before one for sharp, flat or natural, ' or , after it for an octave higher or lower (e.g. 56, #4, 1'):</translation>
    </message>
    <message>
      <source>无法识别的倚音：%1</source>
      <translation>Grace notes not understood: %1</translation>
    </message>
    <message>
      <source>插入点前没有可以加倚音的音符。</source>
      <translation>There is no note before the caret to add grace notes to.</translation>
    </message>
    <message>
      <source>请把插入点放在要写文字的音符后面。</source>
      <translation>Put the caret after the note the words go with.</translation>
    </message>
    <message>
      <source>下方文字</source>
      <translation>Words Below</translation>
    </message>
    <message>
      <source>上方文字</source>
      <translation>Words Above</translation>
    </message>
    <message>
      <source>写在音符下方的文字（如 mf、dolce），留空则去掉：</source>
      <translation>Words under the note (such as mf or dolce); leave empty to remove them:</translation>
    </message>
    <message>
      <source>写在音符上方的文字（如 rit.、渐慢），留空则去掉：</source>
      <translation>Words over the note (such as rit. or a tempo); leave empty to remove them:</translation>
    </message>
    <message>
      <source>插入点前没有可以写文字的音符。</source>
      <translation>There is no note before the caret to write words at.</translation>
    </message>
    <message>
      <source>打印预览</source>
      <translation>Print Preview</translation>
    </message>
    <message>
      <source>和弦记号放到这个音符上，到下一个音符</source>
      <translation>Put the chord symbol on this note and move to the next</translation>
    </message>
    <message>
      <source>空格</source>
      <translation>Space</translation>
    </message>
    <message>
      <source>删除一个字符</source>
      <translation>Delete a character</translation>
    </message>
    <message>
      <source>结束和弦记号输入（未放上的不要）</source>
      <translation>End chord symbol input (what is not put on is dropped)</translation>
    </message>
    <message>
      <source>放上和弦记号并结束输入</source>
      <translation>Put the chord symbol on and end input</translation>
    </message>
    <message>
      <source>休止符</source>
      <translation>Rest</translation>
    </message>
    <message>
      <source>升高八度（下一个音符起）</source>
      <translation>Octave up (from the next note on)</translation>
    </message>
    <message>
      <source>降低八度（下一个音符起）</source>
      <translation>Octave down (from the next note on)</translation>
    </message>
    <message>
      <source>四分音符（无减时线）</source>
      <translation>Quarter note (no underline)</translation>
    </message>
    <message>
      <source>八分音符（一条减时线）</source>
      <translation>Eighth note (one underline)</translation>
    </message>
    <message>
      <source>十六分音符（两条减时线）</source>
      <translation>Sixteenth note (two underlines)</translation>
    </message>
    <message>
      <source>三十二分音符（三条减时线）</source>
      <translation>Thirty-second note (three underlines)</translation>
    </message>
    <message>
      <source>升号；再按为重升，三按取消</source>
      <translation>Sharp; again for double sharp, a third time to cancel</translation>
    </message>
    <message>
      <source>降号；再按为重降，三按取消</source>
      <translation>Flat; again for double flat, a third time to cancel</translation>
    </message>
    <message>
      <source>还原号；再按取消</source>
      <translation>Natural; again to cancel</translation>
    </message>
    <message>
      <source>增时线（延长一拍）</source>
      <translation>Dash (one beat longer)</translation>
    </message>
    <message>
      <source>换气记号</source>
      <translation>Breath mark</translation>
    </message>
    <message>
      <source>左括号</source>
      <translation>Opening parenthesis</translation>
    </message>
    <message>
      <source>右括号</source>
      <translation>Closing parenthesis</translation>
    </message>
    <message>
      <source>双小节线</source>
      <translation>Double bar line</translation>
    </message>
    <message>
      <source>反复开始</source>
      <translation>Begin repeat</translation>
    </message>
    <message>
      <source>反复结束</source>
      <translation>End repeat</translation>
    </message>
    <message>
      <source>虚小节线</source>
      <translation>Dashed bar line</translation>
    </message>
    <message>
      <source>隐藏小节线</source>
      <translation>Hidden bar line</translation>
    </message>
    <message>
      <source>删除插入点之前的内容（在小节开头则合并两个小节）</source>
      <translation>Delete before the caret (at the start of a measure, join it to the one before)</translation>
    </message>
    <message>
      <source>删除插入点之后的内容（在小节末尾则合并两个小节）</source>
      <translation>Delete after the caret (at the end of a measure, join it to the next)</translation>
    </message>
    <message>
      <source>升号</source>
      <translation>Sharp</translation>
    </message>
    <message>
      <source>倍升</source>
      <translation>Double sharp</translation>
    </message>
    <message>
      <source>降号</source>
      <translation>Flat</translation>
    </message>
    <message>
      <source>倍降</source>
      <translation>Double flat</translation>
    </message>
    <message>
      <source>极低</source>
      <translation>Lowest</translation>
    </message>
    <message>
      <source>超低</source>
      <translation>Very low</translation>
    </message>
    <message>
      <source>低音</source>
      <translation>Low</translation>
    </message>
    <message>
      <source>高音</source>
      <translation>High</translation>
    </message>
    <message>
      <source>超高</source>
      <translation>Very high</translation>
    </message>
    <message>
      <source>极高</source>
      <translation>Highest</translation>
    </message>
    <message>
      <source>分音</source>
      <translation>th</translation>
    </message>
    <message>
      <source>到下一个音符</source>
      <translation>To the next note</translation>
    </message>
    <message>
      <source>连到下一个音符（同一个词）</source>
      <translation>Join to the next note (one word)</translation>
    </message>
    <message>
      <source>删除一个字</source>
      <translation>Delete a character</translation>
    </message>
    <message>
      <source>结束歌词输入</source>
      <translation>End lyrics input</translation>
    </message>
    <message>
      <source>单个小节不能换行，当前小节已无法再添加内容。&#13;
如果是散板，请使用虚小节线或隐藏小节线。</source>
      <translation>A single measure cannot be broken across lines; nothing more fits into this measure.&#13;
For free meter, use dashed or hidden bar lines.</translation>
    </message>
    <message>
      <source>警告</source>
      <translation>Warning</translation>
    </message>
    <message>
      <source>跳音(&amp;S)</source>
      <translation>&amp;Staccato</translation>
    </message>
    <message>
      <source>为插入点前的音符加上或去掉跳音记号
跳音</source>
      <translation>Add or remove a staccato on the note before the caret
Staccato</translation>
    </message>
    <message>
      <source>保持音(&amp;N)</source>
      <translation>Te&amp;nuto</translation>
    </message>
    <message>
      <source>为插入点前的音符加上或去掉保持音记号
保持音</source>
      <translation>Put a tenuto line on the note before the caret, or take it away
Tenuto</translation>
    </message>
    <message>
      <source>重音(&amp;C)</source>
      <translation>A&amp;ccent</translation>
    </message>
    <message>
      <source>为插入点前的音符加上或去掉重音记号
重音</source>
      <translation>Add or remove an accent on the note before the caret
Accent</translation>
    </message>
    <message>
      <source>延长记号(&amp;F)</source>
      <translation>&amp;Fermata</translation>
    </message>
    <message>
      <source>为插入点前的音符加上或去掉延长记号
延长记号</source>
      <translation>Add or remove a fermata on the note before the caret
Fermata</translation>
    </message>
    <message>
      <source>无法写入恢复文件。</source>
      <translation>The recovery file could not be written.</translation>
    </message>
    <message>
      <source>恢复文件 %1 已损坏。</source>
      <translation>The recovery file %1 is damaged.</translation>
    </message>
    <message>
      <source>%1: 无法建立文件夹。</source>
      <translation>%1: the folder cannot be created.</translation>
    </message>
    <message>
      <source>%1: 无法写入文件夹。</source>
      <translation>%1: the folder cannot be written.</translation>
    </message>
    <message>
      <source>无法识别的文档。</source>
      <translation>Not a document this editor can read.</translation>
    </message>
    <message>
      <source>文件已损坏：在第 %1 字节处截断。</source>
      <translation>The file is damaged: it was cut short at byte %1.</translation>
    </message>
    <message>
      <source>文件已损坏：第 %1 字节处的内容无法读取。</source>
      <translation>The file is damaged: what stands at byte %1 cannot be read.</translation>
    </message>
    <message>
      <source>%1: 无法打开文件。</source>
      <translation>%1: the file cannot be opened.</translation>
    </message>
    <message>
      <source>%1: 读取文件失败。</source>
      <translation>%1: reading the file failed.</translation>
    </message>
    <message>
      <source>写入文件失败。</source>
      <translation>Writing the file failed.</translation>
    </message>
    <message>
      <source>没有可用的音频设备，无法发声；播放时只显示正在演奏的音符。</source>
      <translation>No audio device is available, so nothing can be heard; playback only shows the notes being played.</translation>
    </message>
    <message>
      <source>MusicXML 乐谱 (*.musicxml *.xml)</source>
      <translation>MusicXML scores (*.musicxml *.xml)</translation>
    </message>
    <message>
      <source>压缩的 MusicXML 乐谱 (*.mxl)</source>
      <translation>Compressed MusicXML scores (*.mxl)</translation>
    </message>
    <message>
      <source>SVG 矢量图 (*.svg)</source>
      <translation>SVG drawings (*.svg)</translation>
    </message>
    <message>
      <source>PDF 文档 (*.pdf)</source>
      <translation>PDF documents (*.pdf)</translation>
    </message>
    <message>
      <source>JPEG 图片 (*.jpg *.jpeg)</source>
      <translation>JPEG images (*.jpg *.jpeg)</translation>
    </message>
    <message>
      <source>GIF 图片 (*.gif)</source>
      <translation>GIF images (*.gif)</translation>
    </message>
    <message>
      <source>PNG 图片 (*.png)</source>
      <translation>PNG images (*.png)</translation>
    </message>
    <message>
      <source>BMP 位图 (*.bmp)</source>
      <translation>BMP bitmaps (*.bmp)</translation>
    </message>
    <message>
      <source>MIDI 文件 (*.mid *.midi)</source>
      <translation>MIDI files (*.mid *.midi)</translation>
    </message>
    <message>
      <source>WAV 音频 (*.wav)</source>
      <translation>WAV audio (*.wav)</translation>
    </message>
    <message>
      <source>1分音</source>
      <translation>Whole</translation>
    </message>
    <message>
      <source>2分音</source>
      <translation>Half</translation>
    </message>
    <message>
      <source>8分音</source>
      <translation>Eighth</translation>
    </message>
    <message>
      <source>32分音</source>
      <translation>Thirty-second</translation>
    </message>
    <message>
      <source>64分音</source>
      <translation>Sixty-fourth</translation>
    </message>
    <message>
      <source>%1 拍</source>
      <translation type="vanished">%1 beats</translation>
    </message>
    <message>
      <source>文件</source>
      <translation type="vanished">File</translation>
    </message>
    <message>
      <source>视图</source>
      <translation type="vanished">View</translation>
    </message>
    <message>
      <source>谱面</source>
      <translation type="vanished">Score</translation>
    </message>
    <message>
      <source>窗口</source>
      <translation type="vanished">Window</translation>
    </message>
    <message>
      <source>帮助</source>
      <translation type="vanished">Help</translation>
    </message>
    <message>
      <source>Enter（小键盘）</source>
      <translation type="vanished">Enter (keypad)</translation>
    </message>
  </context>
</TS>
