<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>TrayMenu</name>
    <message>
        <source>Greet</source>
        <translation>问好</translation>
    </message>
    <message>
        <source>Eat</source>
        <translation>吃东西</translation>
    </message>
    <message>
        <source>Work</source>
        <translation>工作</translation>
    </message>
    <message>
        <source>Sleep</source>
        <translation>睡觉</translation>
    </message>
    <message>
        <source>Surprise me</source>
        <translation>随便做点什么</translation>
    </message>
    <message>
        <source>Play chess</source>
        <translation>下棋</translation>
    </message>
    <message>
        <source>Say something…</source>
        <translation>说点什么…</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>As %1 says it</source>
        <translation>按 %1 的原话</translation>
    </message>
    <message>
        <source>Lively bird</source>
        <translation>活泼的小鸟</translation>
    </message>
    <message>
        <source>Start at login</source>
        <translation>登录时启动</translation>
    </message>
    <message>
        <source>Settings…</source>
        <translation>设置…</translation>
    </message>
    <message>
        <source>About Perch</source>
        <translation>关于 Perch</translation>
    </message>
    <message>
        <source>Quit Perch</source>
        <translation>退出 Perch</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>大小</translation>
    </message>
    <message>
        <source>Small</source>
        <translation>小</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>正常</translation>
    </message>
    <message>
        <source>Large</source>
        <translation>大</translation>
    </message>
    <message>
        <source>Mute</source>
        <translation>静音</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>音量</translation>
    </message>
    <message>
        <source>%1%</source>
        <translation>%1%</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>隐藏</translation>
    </message>
    <message>
        <source>For 15 minutes</source>
        <translation>15 分钟</translation>
    </message>
    <message>
        <source>For an hour</source>
        <translation>1 小时</translation>
    </message>
    <message>
        <source>Until shown again</source>
        <translation>直到再次显示</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>显示</translation>
    </message>
    <message>
        <source>Rename…</source>
        <translation>改名…</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Another controlling program (perch-tray or perchctl listen) is running already; only one can listen to the bird at a time.</source>
        <translation>另一个控制程序（perch-tray 或 perchctl listen）已在运行；同一时间只能有一个程序听小鸟的消息。</translation>
    </message>
    <message>
        <source>This Wayland session has no X server (XWayland) for Perch to run on: DISPLAY is not set.</source>
        <translation>这个 Wayland 会话没有可供 Perch 运行的 X 服务器（XWayland）：DISPLAY 未设置。</translation>
    </message>
    <message>
        <source>There is no display to show the bird on: neither DISPLAY nor WAYLAND_DISPLAY is set.</source>
        <translation>没有可以显示小鸟的屏幕：DISPLAY 和 WAYLAND_DISPLAY 都未设置。</translation>
    </message>
    <message>
        <source>Perch cannot reach the X server of DISPLAY=%1.</source>
        <translation>Perch 无法连接 DISPLAY=%1 的 X 服务器。</translation>
    </message>
</context>
<context>
    <name>perch::TCompanionProcess</name>
    <message>
        <source>The companion program perch was found neither beside perch-tray nor on the PATH.</source>
        <translation>在 perch-tray 旁边和 PATH 中都找不到伙伴程序 perch。</translation>
    </message>
    <message>
        <source>The bird keeps failing: perch ended unexpectedly again and again, so it is not started any more. Start perch-tray again to try once more.</source>
        <translation>小鸟一再出错：perch 多次意外结束，因此不再重新启动。请重新启动 perch-tray 再试一次。</translation>
    </message>
    <message>
        <source>The bird has not woken up: perch gave no sign of its start within %1 seconds.</source>
        <translation>小鸟没有醒来：perch 在 %1 秒内没有发出启动完成的信号。</translation>
    </message>
</context>
<context>
    <name>perch::TFallbackButton</name>
    <message>
        <source>Perch menu</source>
        <translation>Perch 菜单</translation>
    </message>
    <message>
        <source>Perch</source>
        <translation>Perch</translation>
    </message>
</context>
<context>
    <name>perch::TRenameDialog</name>
    <message>
        <source>Rename</source>
        <translation>改名</translation>
    </message>
    <message>
        <source>The bird&apos;s name:</source>
        <translation>小鸟的名字：</translation>
    </message>
    <message>
        <source>Your name:</source>
        <translation>你的名字：</translation>
    </message>
</context>
<context>
    <name>perch::TSayDialog</name>
    <message>
        <source>Say something</source>
        <translation>说点什么</translation>
    </message>
    <message>
        <source>What should %1 say?</source>
        <translation>要%1说什么？</translation>
    </message>
    <message>
        <source>Type a text, or pick one said before</source>
        <translation>输入文字，或选择说过的话</translation>
    </message>
    <message>
        <source>Say</source>
        <translation>说</translation>
    </message>
</context>
<context>
    <name>perch::TSettingsDialog</name>
    <message>
        <source> min</source>
        <translation> 分钟</translation>
    </message>
    <message>
        <source>Perch settings</source>
        <translation>Perch 设置</translation>
    </message>
    <message>
        <source>Lively bird: it does things by itself when left alone</source>
        <translation>活泼的小鸟：无人理睬时自己找事做</translation>
    </message>
    <message>
        <source>Idle at least</source>
        <translation>最短空闲</translation>
    </message>
    <message>
        <source>Idle at most</source>
        <translation>最长空闲</translation>
    </message>
    <message>
        <source>Sleeps now and then at night (22:00 to 07:00)</source>
        <translation>夜里不时睡觉（22:00 至 07:00）</translation>
    </message>
    <message>
        <source>Start at login</source>
        <translation>登录时启动</translation>
    </message>
</context>
<context>
    <name>perch::TTrayController</name>
    <message>
        <source>There is no system tray on this desktop, so Perch&apos;s menu is on the small button at the bottom right corner of the screen.</source>
        <translation>这个桌面没有系统托盘，Perch 的菜单在屏幕右下角的小按钮上。</translation>
    </message>
    <message>
        <source>Perch</source>
        <translation>Perch</translation>
    </message>
    <message>
        <source>The bird is not there to hear it.</source>
        <translation>小鸟不在，听不到。</translation>
    </message>
    <message>
        <source>The login start could not be changed in %1.</source>
        <translation>无法在 %1 中更改登录启动设置。</translation>
    </message>
    <message>
        <source>About Perch</source>
        <translation>关于 Perch</translation>
    </message>
    <message>
        <source>Perch %1

A companion bird for the desktop: it lives beside your windows, talks in balloons, goes about its day and plays chess with you.</source>
        <translation>Perch %1

桌面上的伙伴小鸟：它住在你的窗口旁边，用气球说话，过着自己的日子，还陪你下棋。</translation>
    </message>
    <message>
        <source>%1 is flying away</source>
        <translation>%1正在飞走</translation>
    </message>
    <message>
        <source>%1 is waking up</source>
        <translation>%1正在醒来</translation>
    </message>
    <message>
        <source>%1 is up to something</source>
        <translation>%1在忙自己的事</translation>
    </message>
    <message>
        <source>%1 is eating</source>
        <translation>%1在吃东西</translation>
    </message>
    <message>
        <source>%1 is sleeping</source>
        <translation>%1在睡觉</translation>
    </message>
    <message>
        <source>%1 is greeting you</source>
        <translation>%1在向你问好</translation>
    </message>
    <message>
        <source>%1 is working</source>
        <translation>%1在工作</translation>
    </message>
    <message>
        <source>%1 is playing chess</source>
        <translation>%1在下棋</translation>
    </message>
    <message>
        <source>%1 is resting</source>
        <translation>%1在休息</translation>
    </message>
    <message>
        <source>%1 is unwell and has gone</source>
        <translation>%1身体不适，已经离开</translation>
    </message>
    <message>
        <source>The bird&apos;s names cannot be changed: its program was not found.</source>
        <translation>无法更改名字：找不到小鸟的程序。</translation>
    </message>
    <message>
        <source>The names could not be saved in %1.</source>
        <translation>名字无法保存到 %1。</translation>
    </message>
    <message>
        <source>%1 is away</source>
        <translation>%1 出去了</translation>
    </message>
</context>
</TS>
