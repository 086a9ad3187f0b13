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
    <message>
        <source>Draw: no mating material</source>
        <translation>和棋：双方都无法将死</translation>
    </message>
    <message>
        <source>Draw by repetition</source>
        <translation>和棋：重复局面</translation>
    </message>
    <message>
        <source>Give up this game and start a new one?</source>
        <translation>放弃这一局，开始新的一局吗？</translation>
    </message>
    <message>
        <source>Looking for a good move…</source>
        <translation>正在找一步好棋…</translation>
    </message>
    <message>
        <source>Hint: %1</source>
        <translation>提示：%1</translation>
    </message>
    <message>
        <source>You resigned</source>
        <translation>你认输了</translation>
    </message>
    <message>
        <source>Save game</source>
        <translation>保存棋局</translation>
    </message>
    <message>
        <source>Chess games (*.pgn)</source>
        <translation>棋局 (*.pgn)</translation>
    </message>
    <message>
        <source>The game could not be saved to %1: %2</source>
        <translation>棋局无法保存到 %1：%2</translation>
    </message>
    <message>
        <source>Thinking…</source>
        <translation>思考中…</translation>
    </message>
    <message>
        <source>White to move</source>
        <translation>白方走棋</translation>
    </message>
    <message>
        <source>Black to move</source>
        <translation>黑方走棋</translation>
    </message>
    <message>
        <source>Check! %1</source>
        <translation>将军！%1</translation>
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
        <source>Check!</source>
        <translation>将军！</translation>
    </message>
    <message>
        <source>Oh! My king is in check.</source>
        <translation>哎呀！我被将军了。</translation>
    </message>
    <message>
        <source>My pawn becomes a queen!</source>
        <translation>我的兵升变成后了！</translation>
    </message>
    <message>
        <source>Your pawn is promoted. Well played!</source>
        <translation>你的兵升变了，走得好！</translation>
    </message>
    <message>
        <source>Stalemate: a draw.</source>
        <translation>逼和：和棋。</translation>
    </message>
    <message>
        <source>A draw: neither side has the pieces to mate.</source>
        <translation>和棋：双方都没有足够的子力将死对方。</translation>
    </message>
    <message>
        <source>A draw by repetition.</source>
        <translation>和棋：重复局面。</translation>
    </message>
    <message>
        <source>这次我先走~~</source>
        <translation>这次我先走~~</translation>
    </message>
    <message>
        <source>Checkmate. %1 wins.</source>
        <translation>将死。%1 赢了。</translation>
    </message>
    <message>
        <source>Checkmate. You win!</source>
        <translation>将死。你赢了！</translation>
    </message>
    <message>
        <source>A draw.</source>
        <translation>和棋。</translation>
    </message>
    <message>
        <source>Try the pawn to %1 and make it a queen.</source>
        <translation>试试兵走到%1升变成后。</translation>
    </message>
    <message>
        <source>Try the knight to %1.</source>
        <translation>试试马跳%1。</translation>
    </message>
    <message>
        <source>Try the bishop to %1.</source>
        <translation>试试象走%1。</translation>
    </message>
    <message>
        <source>Try the rook to %1.</source>
        <translation>试试车走%1。</translation>
    </message>
    <message>
        <source>Try the queen to %1.</source>
        <translation>试试后走%1。</translation>
    </message>
    <message>
        <source>Try the king to %1.</source>
        <translation>试试王走%1。</translation>
    </message>
    <message>
        <source>Try the pawn to %1.</source>
        <translation>试试兵走%1。</translation>
    </message>
    <message>
        <source>You</source>
        <translation>你</translation>
    </message>
    <message>
        <source>Oops! That piece was hanging.</source>
        <translation>哎呀！那个子没有保护。</translation>
    </message>
    <message>
        <source>Strong move! I did not see that coming.</source>
        <translation>好棋！我没想到。</translation>
    </message>
    <message>
        <source>Check! %1 is thinking…</source>
        <translation>将军！%1 在思考…</translation>
    </message>
    <message>
        <source>%1 is thinking…</source>
        <translation>%1 在思考…</translation>
    </message>
    <message>
        <source>White to move</source>
        <translation>白方走棋</translation>
    </message>
    <message>
        <source>Black to move</source>
        <translation>黑方走棋</translation>
    </message>
    <message>
        <source>Check! %1.</source>
        <translation>将军！%1。</translation>
    </message>
    <message>
        <source>%1.</source>
        <translation>%1。</translation>
    </message>
    <message>
        <source>Give up this game and start a new one?</source>
        <translation>放弃这一局，开始新的一局吗？</translation>
    </message>
    <message>
        <source>Looking for a good move…</source>
        <translation>正在找一步好棋…</translation>
    </message>
    <message>
        <source>You resigned. %1 wins.</source>
        <translation>你认输了。%1 赢了。</translation>
    </message>
    <message>
        <source>Thank you for the game! Shall we play again?</source>
        <translation>谢谢你陪我下棋！再来一局吗？</translation>
    </message>
    <message>
        <source>Save game</source>
        <translation>保存棋局</translation>
    </message>
    <message>
        <source>Chess games (*.pgn)</source>
        <translation>棋局 (*.pgn)</translation>
    </message>
    <message>
        <source>The game could not be saved to %1: %2</source>
        <translation>棋局无法保存到 %1：%2</translation>
    </message>
    <message>
        <source>All right, let us try that again.</source>
        <translation>好吧，我们再来一次。</translation>
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
<context>
    <name>perch::TGameMenuBar</name>
    <message>
        <source>Fledgling</source>
        <translation>雏鸟</translation>
    </message>
    <message>
        <source>Sparrow</source>
        <translation>麻雀</translation>
    </message>
    <message>
        <source>Robin</source>
        <translation>知更鸟</translation>
    </message>
    <message>
        <source>Magpie</source>
        <translation>喜鹊</translation>
    </message>
    <message>
        <source>Crow</source>
        <translation>乌鸦</translation>
    </message>
    <message>
        <source>Raven</source>
        <translation>渡鸦</translation>
    </message>
    <message>
        <source>Owl</source>
        <translation>猫头鹰</translation>
    </message>
    <message>
        <source>Eagle</source>
        <translation>雄鹰</translation>
    </message>
    <message>
        <source>&amp;Game</source>
        <translation>对局(&amp;G)</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>选项(&amp;O)</translation>
    </message>
    <message>
        <source>Strength</source>
        <translation>棋力</translation>
    </message>
    <message>
        <source>&amp;New game</source>
        <translation>新对局(&amp;N)</translation>
    </message>
    <message>
        <source>&amp;Take back</source>
        <translation>悔棋(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Hint</source>
        <translation>提示(&amp;H)</translation>
    </message>
    <message>
        <source>&amp;Resign</source>
        <translation>认输(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Save game…</source>
        <translation>保存棋局(&amp;S)…</translation>
    </message>
    <message>
        <source>&amp;Copy game</source>
        <translation>复制棋局(&amp;C)</translation>
    </message>
    <message>
        <source>C&amp;lose</source>
        <translation>关闭(&amp;L)</translation>
    </message>
    <message>
        <source>Play as &amp;Black</source>
        <translation>执黑(&amp;B)</translation>
    </message>
    <message>
        <source>&amp;Flip board</source>
        <translation>翻转棋盘(&amp;F)</translation>
    </message>
    <message>
        <source>C&amp;oordinates</source>
        <translation>坐标(&amp;O)</translation>
    </message>
    <message>
        <source>Show the &amp;last move</source>
        <translation>标出上一步(&amp;L)</translation>
    </message>
    <message>
        <source>&amp;Slide moves</source>
        <translation>滑动走子(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Vary the bird&apos;s moves</source>
        <translation>让小鸟变换走法(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Move by clicking</source>
        <translation>点击走子(&amp;M)</translation>
    </message>
    <message>
        <source>%1 (depth %2)</source>
        <translation>%1（深度 %2）</translation>
    </message>
</context>
<context>
    <name>perch::TSettingsFile</name>
    <message>
        <source>the file cannot be read: %1</source>
        <translation>无法读取该文件：%1</translation>
    </message>
    <message>
        <source>the folder %1 cannot be created</source>
        <translation>无法创建文件夹 %1</translation>
    </message>
    <message>
        <source>the file cannot be read whole, and 100 copies are kept aside already</source>
        <translation>无法完整读取该文件，而且已经另存了 100 份副本</translation>
    </message>
    <message>
        <source>the file cannot be moved to %1: %2</source>
        <translation>无法把该文件移到 %1：%2</translation>
    </message>
    <message>
        <source>Perch could not save its settings to %1: %2</source>
        <translation>Perch 无法把设置保存到 %1：%2</translation>
    </message>
</context>
</TS>
