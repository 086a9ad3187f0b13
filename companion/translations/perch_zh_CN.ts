<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>TBoardWindow</name>
    <message>
        <source>Perch chess</source>
        <translation>Perch 国际象棋</translation>
    </message>
    <message>
        <source>Flip</source>
        <translation>翻转</translation>
    </message>
    <message>
        <source>New game</source>
        <translation>新局</translation>
    </message>
    <message>
        <source>White wins</source>
        <translation>白方胜</translation>
    </message>
    <message>
        <source>Black wins</source>
        <translation>黑方胜</translation>
    </message>
    <message>
        <source>Stalemate</source>
        <translation>逼和</translation>
    </message>
    <message>
        <source>Draw</source>
        <translation>和棋</translation>
    </message>
</context>
<context>
    <name>perch::BoardErrorBox</name>
    <message>
        <source>An unknown error occurred.</source>
        <translation>发生了未知错误。</translation>
    </message>
</context>
<context>
    <name>perch::TActor</name>
    <message>
        <source>Perch — Chess</source>
        <translation>Perch — 下棋</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新局</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>嗯</translation>
    </message>
    <message>
        <source>May I help you?</source>
        <translation>需要我帮忙吗？</translation>
    </message>
    <message>
        <source>I am here!</source>
        <translation>我在这儿！</translation>
    </message>
    <message>
        <source>What can I do for you?</source>
        <translation>我能为你做点什么？</translation>
    </message>
    <message>
        <source>Do not bother me!</source>
        <translation>别烦我！</translation>
    </message>
    <message>
        <source>Perch</source>
        <translation>Perch</translation>
    </message>
    <message>
        <source>你先~~</source>
        <translation>你先~~</translation>
    </message>
    <message>
        <source>我赢了，承让承让</source>
        <translation>我赢了，承让承让</translation>
    </message>
    <message>
        <source>你输了!</source>
        <translation>你输了!</translation>
    </message>
    <message>
        <source>你赢了，厉害厉害。</source>
        <translation>你赢了，厉害厉害。</translation>
    </message>
    <message>
        <source>你赢了!</source>
        <translation>你赢了!</translation>
    </message>
    <message>
        <source>和棋了。根据规则，连续重复三次就算和棋。</source>
        <translation>和棋了。根据规则，连续重复三次就算和棋。</translation>
    </message>
    <message>
        <source>车王易位！</source>
        <translation>车王易位！</translation>
    </message>
    <message>
        <source>Well,Hello there!    </source>
        <translation>嗨，你好呀！</translation>
    </message>
    <message>
        <source>It is so nice to meet you!</source>
        <translation>认识你真高兴！</translation>
    </message>
    <message>
        <source>I am an Artificial Life,Not like you - Human,We live in computer.</source>
        <translation>我是人工生命，和你们人类不一样，我们住在电脑里。</translation>
    </message>
    <message>
        <source>I need eat,sleep and I can do some work. </source>
        <translation>我要吃饭、睡觉，也能做一些工作。</translation>
    </message>
    <message>
        <source>I will be able to actually speak to you with my own very cool voice!</source>
        <translation>我能用自己超酷的声音和你说话！</translation>
    </message>
    <message>
        <source>I am looking very forward to spending time with you!</source>
        <translation>我非常期待和你一起度过的时光！</translation>
    </message>
    <message>
        <source>Please give me a name, and Enter my name here and press OK.</source>
        <translation>请给我起个名字：在这里输入，然后按“确定”。</translation>
    </message>
    <message>
        <source>起名字</source>
        <translation>起名字</translation>
    </message>
    <message>
        <source>Cool, my name is %1</source>
        <translation>太好了，我的名字是%1！</translation>
    </message>
    <message>
        <source>Please tell me your name.Enter your name or a name that you would like to be called and press OK.</source>
        <translation>请告诉我你的名字。输入你的名字，或者你希望我怎么称呼你，然后按“确定”。</translation>
    </message>
    <message>
        <source>输入你的名字</source>
        <translation>输入你的名字</translation>
    </message>
    <message>
        <source>Great,Your name is %1.</source>
        <translation>好的，你的名字是%1。</translation>
    </message>
    <message>
        <source>You can type here to talk with me.</source>
        <translation>你可以在这里打字和我聊天。</translation>
    </message>
    <message>
        <source>Have a try!</source>
        <translation>试试看吧！</translation>
    </message>
    <message>
        <source>肚子饿了，吃点东西吧。</source>
        <translation>肚子饿了，吃点东西吧。</translation>
    </message>
    <message>
        <source>I love cookies.</source>
        <translation>我最爱吃饼干了。</translation>
    </message>
    <message>
        <source>睡觉了</source>
        <translation>睡觉了</translation>
    </message>
    <message>
        <source>Sleep is important. </source>
        <translation>睡眠很重要。</translation>
    </message>
    <message>
        <source>忙吗？和我聊天吧？下棋也可以。有什么事情我可以帮忙的？</source>
        <translation>忙吗？和我聊天吧？下棋也可以。有什么事情我可以帮忙的？</translation>
    </message>
    <message>
        <source>我现在要工作了。</source>
        <translation>我现在要工作了。</translation>
    </message>
    <message>
        <source>I hate work,but I must work now.</source>
        <translation>我讨厌工作，可是现在必须工作了。</translation>
    </message>
    <message>
        <source>Hi,Play Chess with me?</source>
        <translation>嗨，和我下盘棋吧？</translation>
    </message>
    <message>
        <source>What a lovely day.</source>
        <translation>今天天气真好。</translation>
    </message>
    <message>
        <source>Tweet tweet!</source>
        <translation>啾啾！</translation>
    </message>
    <message>
        <source>I like it up here.</source>
        <translation>我喜欢待在高处。</translation>
    </message>
    <message>
        <source>Do not forget to stretch.</source>
        <translation>别忘了伸伸懒腰。</translation>
    </message>
    <message>
        <source>Time for a little break?</source>
        <translation>要不要休息一下？</translation>
    </message>
    <message>
        <source>Hmm, what are you working on?</source>
        <translation>嗯，你在忙什么呢？</translation>
    </message>
    <message>
        <source>Oh, hello!</source>
        <translation>哦，你好！</translation>
    </message>
    <message>
        <source>What are you pointing at?</source>
        <translation>你在指什么呀？</translation>
    </message>
</context>
</TS>
