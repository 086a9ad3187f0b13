<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>TBoardWindow</name>
    <message>
        <source>Perch chess</source>
        <translation>Perch chess</translation>
    </message>
    <message>
        <source>Flip</source>
        <translation>Flip</translation>
    </message>
    <message>
        <source>New game</source>
        <translation>New game</translation>
    </message>
    <message>
        <source>White wins</source>
        <translation>White wins</translation>
    </message>
    <message>
        <source>Black wins</source>
        <translation>Black wins</translation>
    </message>
    <message>
        <source>Stalemate</source>
        <translation>Stalemate</translation>
    </message>
    <message>
        <source>Draw</source>
        <translation>Draw</translation>
    </message>
    <message>
        <source>Draw: no mating material</source>
        <translation>Draw: no mating material</translation>
    </message>
    <message>
        <source>Draw by repetition</source>
        <translation>Draw by repetition</translation>
    </message>
    <message>
        <source>Give up this game and start a new one?</source>
        <translation>Give up this game and start a new one?</translation>
    </message>
    <message>
        <source>Looking for a good move…</source>
        <translation>Looking for a good move…</translation>
    </message>
    <message>
        <source>Hint: %1</source>
        <translation>Hint: %1</translation>
    </message>
    <message>
        <source>You resigned</source>
        <translation>You resigned</translation>
    </message>
    <message>
        <source>Save game</source>
        <translation>Save game</translation>
    </message>
    <message>
        <source>Chess games (*.pgn)</source>
        <translation>Chess games (*.pgn)</translation>
    </message>
    <message>
        <source>The game could not be saved to %1: %2</source>
        <translation>The game could not be saved to %1: %2</translation>
    </message>
    <message>
        <source>Thinking…</source>
        <translation>Thinking…</translation>
    </message>
    <message>
        <source>White to move</source>
        <translation>White to move</translation>
    </message>
    <message>
        <source>Black to move</source>
        <translation>Black to move</translation>
    </message>
    <message>
        <source>Check! %1</source>
        <translation>Check! %1</translation>
    </message>
</context>
<context>
    <name>perch::BoardErrorBox</name>
    <message>
        <source>An unknown error occurred.</source>
        <translation>An unknown error occurred.</translation>
    </message>
</context>
<context>
    <name>perch::TActor</name>
    <message>
        <source>Perch — Chess</source>
        <translation>Perch — Chess</translation>
    </message>
    <message>
        <source>New</source>
        <translation>New</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>May I help you?</source>
        <translation>May I help you?</translation>
    </message>
    <message>
        <source>I am here!</source>
        <translation>I am here!</translation>
    </message>
    <message>
        <source>What can I do for you?</source>
        <translation>What can I do for you?</translation>
    </message>
    <message>
        <source>Do not bother me!</source>
        <translation>Do not bother me!</translation>
    </message>
    <message>
        <source>Perch</source>
        <translation>Perch</translation>
    </message>
    <message>
        <source>你先~~</source>
        <translation>You go first~~</translation>
    </message>
    <message>
        <source>我赢了，承让承让</source>
        <translation>I won. Thanks for going easy on me!</translation>
    </message>
    <message>
        <source>你输了!</source>
        <translation>You lost!</translation>
    </message>
    <message>
        <source>你赢了，厉害厉害。</source>
        <translation>You won. Impressive, impressive.</translation>
    </message>
    <message>
        <source>你赢了!</source>
        <translation>You won!</translation>
    </message>
    <message>
        <source>和棋了。根据规则，连续重复三次就算和棋。</source>
        <translation>It is a draw. By the rules, a position repeated three times is a draw.</translation>
    </message>
    <message>
        <source>车王易位！</source>
        <translation>Castling!</translation>
    </message>
    <message>
        <source>Well,Hello there!    </source>
        <translation>Well, hello there!</translation>
    </message>
    <message>
        <source>It is so nice to meet you!</source>
        <translation>It is so nice to meet you!</translation>
    </message>
    <message>
        <source>I am an Artificial Life,Not like you - Human,We live in computer.</source>
        <translation>I am an artificial life, not a human like you: we live in the computer.</translation>
    </message>
    <message>
        <source>I need eat,sleep and I can do some work. </source>
        <translation>I need to eat and sleep, and I can do some work.</translation>
    </message>
    <message>
        <source>I will be able to actually speak to you with my own very cool voice!</source>
        <translation>I will be able to actually speak to you with my own very cool voice!</translation>
    </message>
    <message>
        <source>I am looking very forward to spending time with you!</source>
        <translation>I am very much looking forward to spending time with you!</translation>
    </message>
    <message>
        <source>Please give me a name, and Enter my name here and press OK.</source>
        <translation>Please give me a name: enter it here and press OK.</translation>
    </message>
    <message>
        <source>起名字</source>
        <translation>Give me a name</translation>
    </message>
    <message>
        <source>Cool, my name is %1</source>
        <translation>Cool, my name is %1!</translation>
    </message>
    <message>
        <source>Please tell me your name.Enter your name or a name that you would like to be called and press OK.</source>
        <translation>Please tell me your name. Enter your name, or a name you would like to be called, and press OK.</translation>
    </message>
    <message>
        <source>输入你的名字</source>
        <translation>Enter your name</translation>
    </message>
    <message>
        <source>Great,Your name is %1.</source>
        <translation>Great, your name is %1.</translation>
    </message>
    <message>
        <source>You can type here to talk with me.</source>
        <translation>You can type here to talk with me.</translation>
    </message>
    <message>
        <source>Have a try!</source>
        <translation>Have a try!</translation>
    </message>
    <message>
        <source>肚子饿了，吃点东西吧。</source>
        <translation>I am hungry. Time for a bite to eat.</translation>
    </message>
    <message>
        <source>I love cookies.</source>
        <translation>I love cookies.</translation>
    </message>
    <message>
        <source>睡觉了</source>
        <translation>Time to sleep.</translation>
    </message>
    <message>
        <source>Sleep is important. </source>
        <translation>Sleep is important.</translation>
    </message>
    <message>
        <source>忙吗？和我聊天吧？下棋也可以。有什么事情我可以帮忙的？</source>
        <translation>Busy? How about a chat? Or a game of chess? Is there anything I can help you with?</translation>
    </message>
    <message>
        <source>我现在要工作了。</source>
        <translation>I have to work now.</translation>
    </message>
    <message>
        <source>I hate work,but I must work now.</source>
        <translation>I hate work, but I must work now.</translation>
    </message>
    <message>
        <source>Hi,Play Chess with me?</source>
        <translation>Hi, play chess with me?</translation>
    </message>
    <message>
        <source>Check!</source>
        <translation>Check!</translation>
    </message>
    <message>
        <source>Oh! My king is in check.</source>
        <translation>Oh! My king is in check.</translation>
    </message>
    <message>
        <source>My pawn becomes a queen!</source>
        <translation>My pawn becomes a queen!</translation>
    </message>
    <message>
        <source>Your pawn is promoted. Well played!</source>
        <translation>Your pawn is promoted. Well played!</translation>
    </message>
    <message>
        <source>Stalemate: a draw.</source>
        <translation>Stalemate: a draw.</translation>
    </message>
    <message>
        <source>A draw: neither side has the pieces to mate.</source>
        <translation>A draw: neither side has the pieces to mate.</translation>
    </message>
    <message>
        <source>A draw by repetition.</source>
        <translation>A draw by repetition.</translation>
    </message>
    <message>
        <source>这次我先走~~</source>
        <translation>I will go first this time~~</translation>
    </message>
    <message>
        <source>Checkmate. %1 wins.</source>
        <translation>Checkmate. %1 wins.</translation>
    </message>
    <message>
        <source>Checkmate. You win!</source>
        <translation>Checkmate. You win!</translation>
    </message>
    <message>
        <source>A draw.</source>
        <translation>A draw.</translation>
    </message>
    <message>
        <source>Try the pawn to %1 and make it a queen.</source>
        <translation>Try the pawn to %1 and make it a queen.</translation>
    </message>
    <message>
        <source>Try the knight to %1.</source>
        <translation>Try the knight to %1.</translation>
    </message>
    <message>
        <source>Try the bishop to %1.</source>
        <translation>Try the bishop to %1.</translation>
    </message>
    <message>
        <source>Try the rook to %1.</source>
        <translation>Try the rook to %1.</translation>
    </message>
    <message>
        <source>Try the queen to %1.</source>
        <translation>Try the queen to %1.</translation>
    </message>
    <message>
        <source>Try the king to %1.</source>
        <translation>Try the king to %1.</translation>
    </message>
    <message>
        <source>Try the pawn to %1.</source>
        <translation>Try the pawn to %1.</translation>
    </message>
    <message>
        <source>You</source>
        <translation>You</translation>
    </message>
    <message>
        <source>Oops! That piece was hanging.</source>
        <translation>Oops! That piece was hanging.</translation>
    </message>
    <message>
        <source>Strong move! I did not see that coming.</source>
        <translation>Strong move! I did not see that coming.</translation>
    </message>
    <message>
        <source>Check! %1 is thinking…</source>
        <translation>Check! %1 is thinking…</translation>
    </message>
    <message>
        <source>%1 is thinking…</source>
        <translation>%1 is thinking…</translation>
    </message>
    <message>
        <source>White to move</source>
        <translation>White to move</translation>
    </message>
    <message>
        <source>Black to move</source>
        <translation>Black to move</translation>
    </message>
    <message>
        <source>Check! %1.</source>
        <translation>Check! %1.</translation>
    </message>
    <message>
        <source>%1.</source>
        <translation>%1.</translation>
    </message>
    <message>
        <source>Give up this game and start a new one?</source>
        <translation>Give up this game and start a new one?</translation>
    </message>
    <message>
        <source>Looking for a good move…</source>
        <translation>Looking for a good move…</translation>
    </message>
    <message>
        <source>You resigned. %1 wins.</source>
        <translation>You resigned. %1 wins.</translation>
    </message>
    <message>
        <source>Thank you for the game! Shall we play again?</source>
        <translation>Thank you for the game! Shall we play again?</translation>
    </message>
    <message>
        <source>Save game</source>
        <translation>Save game</translation>
    </message>
    <message>
        <source>Chess games (*.pgn)</source>
        <translation>Chess games (*.pgn)</translation>
    </message>
    <message>
        <source>The game could not be saved to %1: %2</source>
        <translation>The game could not be saved to %1: %2</translation>
    </message>
    <message>
        <source>All right, let us try that again.</source>
        <translation>All right, let us try that again.</translation>
    </message>
    <message>
        <source>What a lovely day.</source>
        <translation>What a lovely day.</translation>
    </message>
    <message>
        <source>Tweet tweet!</source>
        <translation>Tweet tweet!</translation>
    </message>
    <message>
        <source>I like it up here.</source>
        <translation>I like it up here.</translation>
    </message>
    <message>
        <source>Do not forget to stretch.</source>
        <translation>Do not forget to stretch.</translation>
    </message>
    <message>
        <source>Time for a little break?</source>
        <translation>Time for a little break?</translation>
    </message>
    <message>
        <source>Hmm, what are you working on?</source>
        <translation>Hmm, what are you working on?</translation>
    </message>
    <message>
        <source>Oh, hello!</source>
        <translation>Oh, hello!</translation>
    </message>
    <message>
        <source>What are you pointing at?</source>
        <translation>What are you pointing at?</translation>
    </message>
</context>
<context>
    <name>perch::TGameMenuBar</name>
    <message>
        <source>Fledgling</source>
        <translation>Fledgling</translation>
    </message>
    <message>
        <source>Sparrow</source>
        <translation>Sparrow</translation>
    </message>
    <message>
        <source>Robin</source>
        <translation>Robin</translation>
    </message>
    <message>
        <source>Magpie</source>
        <translation>Magpie</translation>
    </message>
    <message>
        <source>Crow</source>
        <translation>Crow</translation>
    </message>
    <message>
        <source>Raven</source>
        <translation>Raven</translation>
    </message>
    <message>
        <source>Owl</source>
        <translation>Owl</translation>
    </message>
    <message>
        <source>Eagle</source>
        <translation>Eagle</translation>
    </message>
    <message>
        <source>&amp;Game</source>
        <translation>&amp;Game</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>Strength</source>
        <translation>Strength</translation>
    </message>
    <message>
        <source>&amp;New game</source>
        <translation>&amp;New game</translation>
    </message>
    <message>
        <source>&amp;Take back</source>
        <translation>&amp;Take back</translation>
    </message>
    <message>
        <source>&amp;Hint</source>
        <translation>&amp;Hint</translation>
    </message>
    <message>
        <source>&amp;Resign</source>
        <translation>&amp;Resign</translation>
    </message>
    <message>
        <source>&amp;Save game…</source>
        <translation>&amp;Save game…</translation>
    </message>
    <message>
        <source>&amp;Copy game</source>
        <translation>&amp;Copy game</translation>
    </message>
    <message>
        <source>C&amp;lose</source>
        <translation>C&amp;lose</translation>
    </message>
    <message>
        <source>Play as &amp;Black</source>
        <translation>Play as &amp;Black</translation>
    </message>
    <message>
        <source>&amp;Flip board</source>
        <translation>&amp;Flip board</translation>
    </message>
    <message>
        <source>C&amp;oordinates</source>
        <translation>C&amp;oordinates</translation>
    </message>
    <message>
        <source>Show the &amp;last move</source>
        <translation>Show the &amp;last move</translation>
    </message>
    <message>
        <source>&amp;Slide moves</source>
        <translation>&amp;Slide moves</translation>
    </message>
    <message>
        <source>&amp;Vary the bird&apos;s moves</source>
        <translation>&amp;Vary the bird&apos;s moves</translation>
    </message>
    <message>
        <source>&amp;Move by clicking</source>
        <translation>&amp;Move by clicking</translation>
    </message>
    <message>
        <source>%1 (depth %2)</source>
        <translation>%1 (depth %2)</translation>
    </message>
</context>
<context>
    <name>perch::TSettingsFile</name>
    <message>
        <source>the file cannot be read: %1</source>
        <translation>the file cannot be read: %1</translation>
    </message>
    <message>
        <source>the folder %1 cannot be created</source>
        <translation>the folder %1 cannot be created</translation>
    </message>
    <message>
        <source>the file cannot be read whole, and 100 copies are kept aside already</source>
        <translation>the file cannot be read whole, and 100 copies are kept aside already</translation>
    </message>
    <message>
        <source>the file cannot be moved to %1: %2</source>
        <translation>the file cannot be moved to %1: %2</translation>
    </message>
    <message>
        <source>Perch could not save its settings to %1: %2</source>
        <translation>Perch could not save its settings to %1: %2</translation>
    </message>
</context>
</TS>
