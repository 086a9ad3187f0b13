<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>TrayMenu</name>
    <message>
        <source>Greet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Eat</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Work</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sleep</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Surprise me</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play chess</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Say something…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>As %1 says it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lively bird</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start at login</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About Perch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit Perch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Small</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Normal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Large</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mute</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Volume</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hide</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>For 15 minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>For an hour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Until shown again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rename…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Another controlling program (perch-tray or perchctl listen) is running already; only one can listen to the bird at a time.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This Wayland session has no X server (XWayland) for Perch to run on: DISPLAY is not set.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is no display to show the bird on: neither DISPLAY nor WAYLAND_DISPLAY is set.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Perch cannot reach the X server of DISPLAY=%1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>perch::TCompanionProcess</name>
    <message>
        <source>The companion program perch was found neither beside perch-tray nor on the PATH.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The bird keeps failing: perch ended unexpectedly again and again, so it is not started any more. Start perch-tray again to try once more.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The bird has not woken up: perch gave no sign of its start within %1 seconds.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>perch::TFallbackButton</name>
    <message>
        <source>Perch menu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Perch</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>perch::TRenameDialog</name>
    <message>
        <source>Rename</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The bird&apos;s name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your name:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>perch::TSayDialog</name>
    <message>
        <source>Say something</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>What should %1 say?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type a text, or pick one said before</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Say</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>perch::TSettingsDialog</name>
    <message>
        <source>Perch settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lively bird: it does things by itself when left alone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Idle at least</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Idle at most</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sleeps now and then at night (22:00 to 07:00)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start at login</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> min</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>perch::TTrayController</name>
    <message>
        <source>There is no system tray on this desktop, so Perch&apos;s menu is on the small button at the bottom right corner of the screen.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Perch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The bird is not there to hear it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The login start could not be changed in %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About Perch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Perch %1

A companion bird for the desktop: it lives beside your windows, talks in balloons, goes about its day and plays chess with you.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is flying away</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is waking up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is up to something</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is eating</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is sleeping</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is greeting you</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is working</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is playing chess</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is resting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is unwell and has gone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The bird&apos;s names cannot be changed: its program was not found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The names could not be saved in %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is away</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
