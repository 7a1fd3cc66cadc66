<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>CTalverinApp</name>
    <message>
        <source>Oscilloscope</source>
        <translation>オシロスコープ</translation>
    </message>
    <message>
        <source>Edit control I/O</source>
        <translation>制御I/O編集</translation>
    </message>
    <message>
        <source>Edit channel programs</source>
        <translation>チャンネルプログラム編集</translation>
    </message>
    <message>
        <source>Failed to read unit information
File may be damaged, or setting may be incorrect.
Re-install the application.</source>
        <translation>ユニット情報を読み込めませんでした。
ファイルが壊れているか、設定が正しくありません。
アプリケーションを再インストールしてください。</translation>
    </message>
    <message>
        <source>Setting file error</source>
        <translation>設定ファイルエラー</translation>
    </message>
    <message>
        <source>KVX TALVERIN</source>
        <comment>product title</comment>
        <translation>KVX タルベリン</translation>
    </message>
</context>
<context>
    <name>CTalverinDoc</name>
    <message>
        <source>Channel(s) %1 are cleared or only partly written on the driver unit; their programs are only in this document.
save changes to &apos;%2&apos;?</source>
        <translation>チャンネル %1 はドライバユニット上でクリアされたか書き込みが途中です。プログラムはこのドキュメントにしかありません。
&apos;%2&apos; への変更を保存しますか?</translation>
    </message>
    <message>
        <source>Connecting will clear current changes.
Channel(s) %1 are cleared or only partly written on the driver unit; their programs are only in this document.
save changes to &apos;%2&apos;?</source>
        <translation>接続すると現在の変更は失われます。
チャンネル %1 はドライバユニット上でクリアされたか書き込みが途中です。プログラムはこのドキュメントにしかありません。
&apos;%2&apos; への変更を保存しますか?</translation>
    </message>
    <message>
        <source>Setting file does not exist.
File required for application does not exist.
Need to re-install.</source>
        <translation>設定ファイルがありません。
アプリケーションに必要なファイルがありません。
再インストールが必要です。</translation>
    </message>
    <message>
        <source>Cannot read setting file.
Make sure file is not being used by another application.</source>
        <translation>設定ファイルを読み込めません。
他のアプリケーションがファイルを使用していないか確認してください。</translation>
    </message>
    <message>
        <source>File reading error</source>
        <translation>ファイル読み込みエラー</translation>
    </message>
    <message>
        <source>NewDocument</source>
        <translation>新規ドキュメント</translation>
    </message>
    <message>
        <source>Cannot find driver definition file.
</source>
        <translation>ドライバ定義ファイルが見つかりません。
</translation>
    </message>
    <message>
        <source>Cannot continue because definition file for unit %1is not found.</source>
        <translation>ユニット %1 の定義ファイルが見つからないため、続行できません。</translation>
    </message>
    <message>
        <source>File error</source>
        <translation>ファイルエラー</translation>
    </message>
    <message>
        <source>File type mismatch, or file is damaged.
Check file.</source>
        <translation>ファイルの種類が違うか、ファイルが壊れています。
ファイルを確認してください。</translation>
    </message>
    <message>
        <source>Cannot read data file.
File may be deleted or set read-only by another application.
Check the file.</source>
        <translation>データファイルを読み込めません。
ファイルが削除されたか、他のアプリケーションによって読み取り専用にされた可能性があります。
ファイルを確認してください。</translation>
    </message>
    <message>
        <source>File read error</source>
        <translation>ファイル読み込みエラー</translation>
    </message>
    <message>
        <source>Failed to read data file.
File may be deleted or set read-only by another application.
Application will close.</source>
        <translation>データファイルの読み込みに失敗しました。
ファイルが削除されたか、他のアプリケーションによって読み取り専用にされた可能性があります。
アプリケーションを終了します。</translation>
    </message>
    <message>
        <source>Cannot open file.
Specified file does not exist, or the file is used by another application.</source>
        <translation>ファイルを開けません。
指定したファイルが存在しないか、他のアプリケーションが使用しています。</translation>
    </message>
    <message>
        <source>Cannot open file</source>
        <translation>ファイルを開けません</translation>
    </message>
    <message>
        <source>Connecting will clear current changes.
save changes to &apos;%1&apos;?</source>
        <translation>接続すると現在の変更は失われます。
&apos;%1&apos; への変更を保存しますか?</translation>
    </message>
    <message>
        <source>save changes to &apos;%1&apos;?</source>
        <translation>&apos;%1&apos; への変更を保存しますか?</translation>
    </message>
    <message>
        <source>Verify Save</source>
        <translation>保存の確認</translation>
    </message>
    <message>
        <source>save changes to &apos;%1&apos;</source>
        <translation>&apos;%1&apos; への変更を保存しますか</translation>
    </message>
    <message>
        <source>Channel(s) %1 are cleared or only partly written on the driver unit; their programs are only in this document.
save changes to &apos;%2&apos;</source>
        <translation>チャンネル %1 はドライバユニット上でクリアされたか書き込みが途中です。プログラムはこのドキュメントにしかありません。
&apos;%2&apos; への変更を保存しますか</translation>
    </message>
</context>
<context>
    <name>CTalverinDocTemplate</name>
    <message>
        <source>KVX TALVERIN

ZRDOC
KVX TALVERIN FILE(*.zrd)
.zrd
Talverin.Document
Talverin Document</source>
        <translation>KVX タルベリン

ZRDOC
KVX TALVERIN FILE(*.zrd)
.zrd
Talverin.Document
Talverin Document</translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation>すべてのファイル (*.*)</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>名前を付けて保存</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>開く</translation>
    </message>
</context>
<context>
    <name>CViewChannel</name>
    <message>
        <source>%1 row(s) were not pasted: all channel programs together may hold at most 1024 lines.</source>
        <translation>%1 行は貼り付けられませんでした。チャンネルプログラムの行数は合計 1024 行までです。</translation>
    </message>
    <message>
        <source>Line %1 of channel %2 reads as a channel header (&quot;CH&quot; and a number) and cannot be stored.
Change the line.</source>
        <translation>チャンネル %2 の %1 行目はチャンネルの見出し（「CH」と番号）と同じ形のため保存できません。
行を変更してください。</translation>
    </message>
    <message>
        <source>
Resume edit without moving channel?</source>
        <translation>
チャンネルを移動せずに編集を続けますか？</translation>
    </message>
    <message>
        <source>Channel %1 was not written to the driver unit.
Reply of the driver unit: %2
The program stays in this document, marked as not written.</source>
        <translation>チャンネル %1 はドライバユニットに書き込まれませんでした。
ドライバユニットの応答: %2
プログラムはこのドキュメントに残り、未書き込みとして表示されます。</translation>
    </message>
    <message>
        <source>Lines</source>
        <translation>行</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>コマンド</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>データ</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>コメント</translation>
    </message>
    <message>
        <source> Remains : </source>
        <translation> 残り : </translation>
    </message>
    <message>
        <source> (Read channel setting)</source>
        <translation> (チャンネル設定読み込み)</translation>
    </message>
    <message>
        <source> (Channel setting)</source>
        <translation> (チャンネル設定)</translation>
    </message>
    <message>
        <source> (Clear channel setting)</source>
        <translation> (チャンネル設定クリア)</translation>
    </message>
    <message>
        <source> (Insert channel)</source>
        <translation> (チャンネル挿入)</translation>
    </message>
    <message>
        <source> (Delete channel)</source>
        <translation> (チャンネル削除)</translation>
    </message>
    <message>
        <source>Will insert channel.</source>
        <translation>チャンネルを挿入します。</translation>
    </message>
    <message>
        <source>
By inserting channel, the contents of channel 255 will be lost. 
</source>
        <translation>
チャンネルを挿入すると、チャンネル 255 の内容は失われます。
</translation>
    </message>
    <message>
        <source>OK?</source>
        <translation>よろしいですか？</translation>
    </message>
    <message>
        <source>Insert channel</source>
        <translation>チャンネル挿入</translation>
    </message>
    <message>
        <source>Are you sure you want to delete a channel ?</source>
        <translation>チャンネルを削除してもよろしいですか？</translation>
    </message>
    <message>
        <source>Delete channel</source>
        <translation>チャンネル削除</translation>
    </message>
    <message>
        <source>Are you sure you want to delete all channels ?</source>
        <translation>全チャンネルを削除してもよろしいですか？</translation>
    </message>
    <message>
        <source>Delete all channels</source>
        <translation>全チャンネル削除</translation>
    </message>
    <message>
        <source>Invalid command(s) is found.
Resume edit without moving channel?
The valid command(s) is already updated in driver unit.</source>
        <translation>無効なコマンドがあります。
チャンネルを移動せずに編集を続けますか？
有効なコマンドはすでにドライバに設定されています。</translation>
    </message>
    <message>
        <source>Command setting error</source>
        <translation>コマンド設定エラー</translation>
    </message>
    <message>
        <source>Information obtained for channel under edit.
View will refresh.</source>
        <translation>編集中のチャンネルの情報を取得しました。
表示を更新します。</translation>
    </message>
    <message>
        <source>
Current information under edit will be lost.</source>
        <translation>
編集中の内容は失われます。</translation>
    </message>
    <message>
        <source>Read channel information</source>
        <translation>チャンネル情報読み込み</translation>
    </message>
    <message>
        <source>Number of lines exceeded the limit.
Must delete some lines.</source>
        <translation>行数が上限を超えています。
行を削除してください。</translation>
    </message>
    <message>
        <source>Channel information</source>
        <translation>チャンネル情報</translation>
    </message>
    <message>
        <source>Specify channel number between 0 and 255</source>
        <translation>チャンネル番号は 0 から 255 の間で指定してください</translation>
    </message>
    <message>
        <source>Channel number error</source>
        <translation>チャンネル番号エラー</translation>
    </message>
    <message>
        <source>You can drop one text format (*.txt) file only.</source>
        <translation>ドロップできるのはテキスト形式 (*.txt) のファイル 1 つだけです。</translation>
    </message>
    <message>
        <source>File number error</source>
        <translation>ファイル数エラー</translation>
    </message>
    <message>
        <source>Cannot get file name</source>
        <translation>ファイル名を取得できません</translation>
    </message>
    <message>
        <source>File name error</source>
        <translation>ファイル名エラー</translation>
    </message>
    <message>
        <source>File format mismatch.
You can drop text format (*.txt) file only.</source>
        <translation>ファイル形式が違います。
ドロップできるのはテキスト形式 (*.txt) のファイルだけです。</translation>
    </message>
    <message>
        <source>File format error</source>
        <translation>ファイル形式エラー</translation>
    </message>
    <message>
        <source>Cannot open file.
Specified file does not exist, or the file is used by another application.</source>
        <translation>ファイルを開けません。
指定したファイルが存在しないか、他のアプリケーションが使用しています。</translation>
    </message>
    <message>
        <source>Cannot open file</source>
        <translation>ファイルを開けません</translation>
    </message>
    <message>
        <source>Error during reading file.
File contents may not be read completely.</source>
        <translation>ファイルの読み込み中にエラーが発生しました。
ファイルの内容をすべて読み込めなかった可能性があります。</translation>
    </message>
    <message>
        <source>Cannot read file</source>
        <translation>ファイル読み込みエラー</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>チャンネル</translation>
    </message>
    <message>
        <source>Remains:</source>
        <translation>残り:</translation>
    </message>
    <message>
        <source>Insert line	Ctrl+I</source>
        <translation>行挿入	Ctrl+I</translation>
    </message>
    <message>
        <source>Delete line	Ctrl+D</source>
        <translation>行削除	Ctrl+D</translation>
    </message>
    <message>
        <source>Copy other channel	Ctrl+Alt+C</source>
        <translation>チャンネルのコピー	Ctrl+Alt+C</translation>
    </message>
    <message>
        <source>Insert other channel	Ctrl+Alt+I</source>
        <translation>チャンネル挿入	Ctrl+Alt+I</translation>
    </message>
    <message>
        <source>Delete current channel	Ctrl+Alt+D</source>
        <translation>現在のチャンネル削除	Ctrl+Alt+D</translation>
    </message>
    <message>
        <source>Delete all channels	Ctrl+Alt+A</source>
        <translation>全チャンネル削除	Ctrl+Alt+A</translation>
    </message>
    <message>
        <source>Edit	F2</source>
        <translation>編集	F2</translation>
    </message>
    <message>
        <source>Cu&amp;t	Ctrl+X</source>
        <translation>切り取り(&amp;T)	Ctrl+X</translation>
    </message>
    <message>
        <source>&amp;Copy	Ctrl+C</source>
        <translation>コピー(&amp;C)	Ctrl+C</translation>
    </message>
    <message>
        <source>&amp;Paste	Ctrl+V</source>
        <translation>貼り付け(&amp;P)	Ctrl+V</translation>
    </message>
    <message>
        <source>Writing channel %1: %2 of %3 lines</source>
        <translation>チャンネル %1 書き込み中: %2 / %3 行</translation>
    </message>
</context>
<context>
    <name>FormBuilder</name>
    <message>
        <source>unknown control</source>
        <translation>不明なコントロール</translation>
    </message>
    <message>
        <source>Dialog %1 has no control template.</source>
        <translation>ダイアログ %1 にはコントロールのテンプレートがありません。</translation>
    </message>
    <message>
        <source>Dialog %1 has no window to hold its controls.</source>
        <translation>ダイアログ %1 にはコントロールを置くウィンドウがありません。</translation>
    </message>
    <message>
        <source>Control %1 (%2 %3) of dialog %4 cannot be created: %5</source>
        <translation>ダイアログ %4 のコントロール %1 (%2 %3) を作成できません: %5</translation>
    </message>
</context>
<context>
    <name>ControlFailures</name>
    <message>
        <source>parameter editor</source>
        <translation>パラメータエディタ</translation>
    </message>
    <message>
        <source>CN2 pin row</source>
        <translation>CN2ピン行</translation>
    </message>
    <message>
        <source>slider</source>
        <translation>スライダー</translation>
    </message>
    <message>
        <source>oscilloscope</source>
        <translation>オシロスコープ</translation>
    </message>
    <message>
        <source>terminal editor</source>
        <translation>ターミナルエディタ</translation>
    </message>
    <message>
        <source>The %1 control could not be loaded: %2 is missing.</source>
        <translation>%1のコントロールを読み込めませんでした。%2 が見つかりません。</translation>
    </message>
    <message>
        <source>The %1 control could not be loaded: it is not registered in %2.</source>
        <translation>%1のコントロールを読み込めませんでした。%2 に登録されていません。</translation>
    </message>
    <message>
        <source>The %1 control could not be loaded: %2 cannot be loaded (%3).</source>
        <translation>%1のコントロールを読み込めませんでした。%2 を読み込めません（%3）。</translation>
    </message>
    <message>
        <source>The %1 control could not be loaded: %2.</source>
        <translation>%1のコントロールを読み込めませんでした（%2）。</translation>
    </message>
    <message>
        <source>The %1 control could not be loaded.</source>
        <translation>%1のコントロールを読み込めませんでした。</translation>
    </message>
    <message>
        <source>%1 missing</source>
        <translation>%1なし</translation>
    </message>
    <message>
        <source>Rebuild the program or register the control with talverin-regcontrols.</source>
        <translation>プログラムをビルドし直すか、talverin-regcontrols でコントロールを登録してください。</translation>
    </message>
    <message>
        <source>Rebuild the program or register the controls with talverin-regcontrols.</source>
        <translation>プログラムをビルドし直すか、talverin-regcontrols で各コントロールを登録してください。</translation>
    </message>
    <message>
        <source>Controls</source>
        <translation>コントロール</translation>
    </message>
</context>
<context>
    <name>SetStatusText</name>
    <message>
        <source>For Help, press F1</source>
        <translation>ヘルプを表示するには F1 キーを押してください</translation>
    </message>
</context>
<context>
    <name>talverin::CAboutDlg</name>
    <message>
        <source>About KVX Talverin</source>
        <translation>KVX タルベリンのバージョン情報</translation>
    </message>
    <message>
        <source>KVX Talverin Ver %1</source>
        <translation>KVX タルベリン Ver %1</translation>
    </message>
</context>
<context>
    <name>talverin::CCommentDlg</name>
    <message>
        <source>Save - Input comments </source>
        <translation>保存 - コメント入力 </translation>
    </message>
    <message>
        <source>Input comments to the data file before saving. (up to 80 characters)</source>
        <translation>保存する前にデータファイルへのコメントを入力してください。(80 文字まで)</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>OK(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>キャンセル(&amp;C)</translation>
    </message>
    <message>
        <source>Comments cannot include characters &quot;;&quot;</source>
        <translation>コメントに文字 &quot;;&quot; は使えません</translation>
    </message>
    <message>
        <source>Comments error</source>
        <translation>コメントエラー</translation>
    </message>
</context>
<context>
    <name>talverin::CDebugDlg</name>
    <message>
        <source>Debug window</source>
        <translation>デバッグウィンドウ</translation>
    </message>
    <message>
        <source>List every second</source>
        <translation>1 秒ごとに一覧</translation>
    </message>
    <message>
        <source>List</source>
        <translation>一覧</translation>
    </message>
    <message>
        <source>Show text</source>
        <translation>内容表示</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>There are no command ids.</source>
        <translation>コマンド ID はありません。</translation>
    </message>
    <message>
        <source>Sent data</source>
        <translation>送信データ</translation>
    </message>
</context>
<context>
    <name>talverin::CMainFrame</name>
    <message>
        <source>File(&amp;F)</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <source>View(&amp;V)</source>
        <translation>表示(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;New...</source>
        <translation>新規作成(&amp;N)...</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>開く(&amp;O)...</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>上書き保存(&amp;S)</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>名前を付けて保存(&amp;A)...</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>印刷(&amp;P)...</translation>
    </message>
    <message>
        <source>Print Pre&amp;view</source>
        <translation>印刷プレビュー(&amp;V)</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>終了(&amp;X)</translation>
    </message>
    <message>
        <source>Help(&amp;H)</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <source>&amp;Topic</source>
        <translation>トピック(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Search</source>
        <translation>検索(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;About KVX Talverin...</source>
        <translation>バージョン情報(&amp;A)...</translation>
    </message>
    <message>
        <source>Recent File</source>
        <translation>最近使ったファイル</translation>
    </message>
    <message>
        <source>Setting(&amp;C)</source>
        <translation>設定(&amp;C)</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>接続</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>切断</translation>
    </message>
    <message>
        <source>Communication setting</source>
        <translation>通信設定</translation>
    </message>
    <message>
        <source>Password lock</source>
        <translation>パスワードロック</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>有効</translation>
    </message>
    <message>
        <source>Disable</source>
        <translation>無効</translation>
    </message>
    <message>
        <source>&amp;Copy	Ctrl+C</source>
        <translation>コピー(&amp;C)	Ctrl+C</translation>
    </message>
    <message>
        <source>&amp;DownLoad (PC -&gt; Driver)</source>
        <translation>ダウンロード (PC -&gt; ドライバ)(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;Paste	Ctrl+V</source>
        <translation>貼り付け(&amp;P)	Ctrl+V</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>印刷(&amp;P)...</translation>
    </message>
    <message>
        <source>&amp;Undo	Ctrl+Z</source>
        <translation>元に戻す(&amp;U)	Ctrl+Z</translation>
    </message>
    <message>
        <source>&amp;Upload (Driver -&gt; PC)</source>
        <translation>アップロード (ドライバ -&gt; PC)(&amp;U)</translation>
    </message>
    <message>
        <source>Command Window</source>
        <translation>コマンドウィンドウ</translation>
    </message>
    <message>
        <source>Command tool</source>
        <translation>コマンドツール</translation>
    </message>
    <message>
        <source>Connecting to driver unit.
Disconnect and then Re-try.</source>
        <translation>ドライバに接続中です。
切断してから再度実行してください。</translation>
    </message>
    <message>
        <source>Connection tool</source>
        <translation>接続ツール</translation>
    </message>
    <message>
        <source>Cu&amp;t	Ctrl+X</source>
        <translation>切り取り(&amp;T)	Ctrl+X</translation>
    </message>
    <message>
        <source>Debug Window</source>
        <translation>デバッグウィンドウ</translation>
    </message>
    <message>
        <source>Edit channel programs</source>
        <translation>チャンネルプログラム編集</translation>
    </message>
    <message>
        <source>Edit channel programs	Ctrl+4</source>
        <translation>チャンネルプログラム編集	Ctrl+4</translation>
    </message>
    <message>
        <source>Edit control I/O</source>
        <translation>制御I/O編集</translation>
    </message>
    <message>
        <source>Edit control I/O	Ctrl+2</source>
        <translation>制御I/O編集	Ctrl+2</translation>
    </message>
    <message>
        <source>Edit parameter</source>
        <translation>パラメータ編集</translation>
    </message>
    <message>
        <source>Edit parameter	Ctrl+3</source>
        <translation>パラメータ編集	Ctrl+3</translation>
    </message>
    <message>
        <source>Edit(&amp;E)</source>
        <translation>編集(&amp;E)</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新規作成</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>開く</translation>
    </message>
    <message>
        <source>Oscilloscope</source>
        <translation>オシロスコープ</translation>
    </message>
    <message>
        <source>Oscilloscope	Ctrl+1</source>
        <translation>オシロスコープ	Ctrl+1</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>印刷</translation>
    </message>
    <message>
        <source>Print Pre&amp;view</source>
        <translation>印刷プレビュー(&amp;V)</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Screen</source>
        <translation>画面</translation>
    </message>
    <message>
        <source>Start Talverin Ver%1</source>
        <translation>Talverin Ver%1 を起動</translation>
    </message>
    <message>
        <source>Start Talverin Ver1</source>
        <translation>Talverin Ver1 を起動</translation>
    </message>
    <message>
        <source>Terminal</source>
        <translation>ターミナル</translation>
    </message>
    <message>
        <source>Terminal	Ctrl+5</source>
        <translation>ターミナル	Ctrl+5</translation>
    </message>
    <message>
        <source>Terminal Window</source>
        <translation>ターミナルウィンドウ</translation>
    </message>
    <message>
        <source>Terminal window</source>
        <translation>ターミナルウィンドウ</translation>
    </message>
    <message>
        <source>The screen &quot;%1&quot; could not be opened.</source>
        <translation>画面「%1」を開けませんでした。</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>ツールバー</translation>
    </message>
    <message>
        <source>View(&amp;V)</source>
        <translation>表示(&amp;V)</translation>
    </message>
    <message>
        <source>You cannot read data on terminal edit screen</source>
        <translation>ターミナル編集画面ではデータを読み込めません</translation>
    </message>
    <message>
        <source>Switching screens.

Please wait.</source>
        <translation>画面を切り替えています。

しばらくお待ちください。</translation>
    </message>
</context>
<context>
    <name>talverin::DriverConnection</name>
    <message>
        <source>Reading all data: the driver unit&apos;s reply did not end (time-out).</source>
        <translation>全データ読み込み: ドライバユニットの応答が終了しませんでした（タイムアウト）。</translation>
    </message>
    <message>
        <source>Set port and re-try to connect.</source>
        <translation>ポートを設定してから再度接続してください。</translation>
    </message>
    <message>
        <source>Connection</source>
        <translation>接続</translation>
    </message>
    <message>
        <source>Cannot open the specified port.
Port is invalid, or is being used by another application.
Check the current condition.</source>
        <translation>指定されたポートを開けません。
ポートが無効か、他のアプリケーションが使用中です。
現在の状態を確認してください。</translation>
    </message>
    <message>
        <source>Failed to set communication.
Specified setting may not be supported by hardware.
Check the current condition.</source>
        <translation>通信の設定に失敗しました。
指定された設定はハードウェアが対応していない可能性があります。
現在の状態を確認してください。</translation>
    </message>
    <message>
        <source>Comminication error.
Please check current condition.</source>
        <translation>通信エラーです。
現在の状態を確認してください。</translation>
    </message>
    <message>
        <source>Connection error</source>
        <translation>接続エラー</translation>
    </message>
    <message>
        <source>Connecting.

Please wait.</source>
        <translation>接続中です。

しばらくお待ちください。</translation>
    </message>
    <message>
        <source>Send password status check command</source>
        <translation>パスワード状態確認コマンドの送信</translation>
    </message>
    <message>
        <source>Connection time out.
Check the unit and re-try.</source>
        <translation>接続がタイムアウトしました。
ユニットを確認して再度実行してください。</translation>
    </message>
    <message>
        <source>Disconnected due to communication error.
Check the unit and re-try</source>
        <translation>通信エラーのため切断しました。
ユニットを確認して再度実行してください</translation>
    </message>
    <message>
        <source>Communication error</source>
        <translation>通信エラー</translation>
    </message>
    <message>
        <source>The driver you connected has different data from the current data file The driver may behave unstable.
Do you wish to continue?</source>
        <translation>接続したドライバは現在のデータファイルと異なるデータを持っています。ドライバの動作が不安定になる可能性があります。
続行しますか?</translation>
    </message>
    <message>
        <source>Check driver unit</source>
        <translation>ドライバユニットの確認</translation>
    </message>
    <message>
        <source>Close when capture is complete.</source>
        <translation>取り込みが終わってから閉じてください。</translation>
    </message>
    <message>
        <source>Capture in process</source>
        <translation>取り込み中</translation>
    </message>
    <message>
        <source>Monitor alarm history</source>
        <translation>アラーム履歴のモニタ</translation>
    </message>
    <message>
        <source>Send password lock enable command</source>
        <translation>パスワードロック有効コマンドの送信</translation>
    </message>
    <message>
        <source>Send password lock disable command</source>
        <translation>パスワードロック無効コマンドの送信</translation>
    </message>
    <message>
        <source>Error during connection.
Make sure device is connected properly.</source>
        <translation>接続中にエラーが発生しました。
機器が正しく接続されているか確認してください。</translation>
    </message>
    <message>
        <source>The identification reply could not be read. Received: %1</source>
        <translation>識別情報の応答を読み取れませんでした。受信データ: %1</translation>
    </message>
    <message>
        <source>Error during connection.
Please check hardware.

Contents of error: Command cannot be recognized</source>
        <translation>接続中にエラーが発生しました。
ハードウェアを確認してください。

エラー内容: コマンドを認識できません</translation>
    </message>
    <message>
        <source>Reading all data.

Please wait.</source>
        <translation>全データを読み込み中です。

しばらくお待ちください。</translation>
    </message>
    <message>
        <source>Reading alarm data.

Please wait.</source>
        <translation>アラームデータを読み込み中です。

しばらくお待ちください。</translation>
    </message>
    <message>
        <source>Incorrect data received.
Check the device and re-try.
</source>
        <translation>不正なデータを受信しました。
機器を確認して再度実行してください。
</translation>
    </message>
    <message>
        <source>Data receive error</source>
        <translation>データ受信エラー</translation>
    </message>
    <message>
        <source>

Contents of error:</source>
        <translation>

エラー内容:</translation>
    </message>
    <message>
        <source>Comunication time out.
Check the device condition and re-try.</source>
        <translation>通信がタイムアウトしました。
機器の状態を確認して再度実行してください。</translation>
    </message>
    <message>
        <source>Communication time out</source>
        <translation>通信タイムアウト</translation>
    </message>
    <message>
        <source>Check the status of your unit and try again</source>
        <translation>ユニットの状態を確認して再度実行してください</translation>
    </message>
    <message>
        <source>Data transfer time out</source>
        <translation>データ転送タイムアウト</translation>
    </message>
    <message>
        <source>Failed to set baud rate.
Must restart system.
Please check the system and re-try.
If error occurs again, check [Oscillo]BaudRate setting under Talverin.ini</source>
        <translation>ボーレートの設定に失敗しました。
システムを再起動してください。
システムを確認して再度実行してください。
再度エラーになる場合は Talverin.ini の [Oscillo]BaudRate の設定を確認してください</translation>
    </message>
    <message>
        <source>Baud rate set error</source>
        <translation>ボーレート設定エラー</translation>
    </message>
    <message>
        <source>Communication error occured.
Check the device and re-try.</source>
        <translation>通信エラーが発生しました。
機器を確認して再度実行してください。</translation>
    </message>
    <message>
        <source>Port is disconnected.
Connect and then re-try.</source>
        <translation>ポートが接続されていません。
接続してから再度実行してください。</translation>
    </message>
    <message>
        <source>Baud rate change error</source>
        <translation>ボーレート変更エラー</translation>
    </message>
    <message>
        <source>Baud rate cannot change during communication.
Pause the terminal process.
If used by another process, stop the process.</source>
        <translation>通信中はボーレートを変更できません。
ターミナルの処理を一時停止してください。
他のプロセスが使用している場合は、そのプロセスを停止してください。</translation>
    </message>
    <message>
        <source>Parameter setting is incorrect.
Check the [Oscillo]BaudRate under Talverin.ini
Setting range is 9600,19200,38400,57600</source>
        <translation>パラメータの設定が正しくありません。
Talverin.ini の [Oscillo]BaudRate を確認してください
設定範囲は 9600,19200,38400,57600 です</translation>
    </message>
    <message>
        <source>Baus rate setting error</source>
        <translation>ボーレート設定エラー</translation>
    </message>
    <message>
        <source>Closing.

Please wait.</source>
        <translation>終了しています。

しばらくお待ちください。</translation>
    </message>
    <message>
        <source>Currrently connected to the driver.
You must terminate connection before exiting application.</source>
        <translation>現在ドライバに接続しています。
アプリケーションを終了する前に接続を終了してください。</translation>
    </message>
    <message>
        <source>Must terminate connection</source>
        <translation>接続を終了してください</translation>
    </message>
    <message>
        <source>Verify Save</source>
        <translation>保存の確認</translation>
    </message>
    <message>
        <source>Command tool &quot;%1&quot; failed: %2</source>
        <translation>コマンドツール「%1」が失敗しました: %2</translation>
    </message>
    <message>
        <source>No response</source>
        <translation>応答なし</translation>
    </message>
</context>
<context>
    <name>talverin::CNewDlg</name>
    <message>
        <source>New</source>
        <translation>新規作成</translation>
    </message>
    <message>
        <source>Type of motor:</source>
        <translation>モーターの種類:</translation>
    </message>
</context>
<context>
    <name>talverin::CPresetStepDlg</name>
    <message>
        <source>Reset</source>
        <translation>リセット</translation>
    </message>
</context>
<context>
    <name>CViewParam</name>
    <message>
        <source>%1 Command Error: %2</source>
        <translation>%1 コマンドエラー: %2</translation>
    </message>
</context>
<context>
    <name>talverin::CCommandWnd</name>
    <message>
        <source>Command Window</source>
        <translation>コマンドウィンドウ</translation>
    </message>
</context>
<context>
    <name>talverin::ParamWindows</name>
    <message>
        <source>Edit parameter</source>
        <translation>パラメータ編集</translation>
    </message>
    <message>
        <source>Edit &amp;parameter</source>
        <translation>パラメータ編集(&amp;P)</translation>
    </message>
    <message>
        <source>Command &amp;Window</source>
        <translation>コマンドウィンドウ(&amp;W)</translation>
    </message>
</context>
<context>
    <name>talverin::HelpWindow</name>
    <message>
        <source>Help</source>
        <translation>ヘルプ</translation>
    </message>
    <message>
        <source>Find:</source>
        <translation>検索:</translation>
    </message>
    <message>
        <source>Find &amp;Next</source>
        <translation>次を検索(&amp;N)</translation>
    </message>
    <message>
        <source>&lt;h3&gt;Help page not found&lt;/h3&gt;&lt;p&gt;The help page %1 is not there. The help pages may not be installed.&lt;/p&gt;</source>
        <translation>&lt;h3&gt;ヘルプページが見つかりません&lt;/h3&gt;&lt;p&gt;ヘルプページ %1 がありません。ヘルプページがインストールされていない可能性があります。&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Not found</source>
        <translation>見つかりません</translation>
    </message>
</context>
<context>
    <name>OscilloCapture</name>
    <message>
        <source>Error occured during setting.
Process will be stopped.

Contents of error:</source>
        <translation>設定中にエラーが発生しました。
処理を中止します。

エラー内容:</translation>
    </message>
    <message>
        <source>Error occured during setting.
Process will be stopped.

Contents of error:</source>
        <comment>channel source CH1 setting</comment>
        <translation>CH1ソース設定でエラーが発生しました。
処理を中止します。

エラー内容:</translation>
    </message>
    <message>
        <source>Error occured during setting.
Process will be stopped.

Contents of error:</source>
        <comment>channel source CH2 setting</comment>
        <translation>CH2ソース設定でエラーが発生しました。
処理を中止します。

エラー内容:</translation>
    </message>
    <message>
        <source>Error occured during setting.
Process will be stopped.

Contents of error:</source>
        <comment>channel source CH3 setting</comment>
        <translation>CH3ソース設定でエラーが発生しました。
処理を中止します。

エラー内容:</translation>
    </message>
    <message>
        <source>Error occured during setting.
Process will be stopped.

Contents of error:</source>
        <comment>channel source CH4 setting</comment>
        <translation>CH4ソース設定でエラーが発生しました。
処理を中止します。

エラー内容:</translation>
    </message>
    <message>
        <source>Error occured during setting.
Process will be stopped.

Contents of error:</source>
        <comment>trigger channel setting</comment>
        <translation>トリガチャンネル設定でエラーが発生しました。
処理を中止します。

エラー内容:</translation>
    </message>
    <message>
        <source>Error occured during setting.
Process will be stopped.

Contents of error:</source>
        <comment>trigger level setting</comment>
        <translation>トリガレベル設定でエラーが発生しました。
処理を中止します。

エラー内容:</translation>
    </message>
    <message>
        <source>Error occured during setting.
Process will be stopped.

Contents of error:</source>
        <comment>record time setting</comment>
        <translation>記録時間設定でエラーが発生しました。
処理を中止します。

エラー内容:</translation>
    </message>
    <message>
        <source>Error occured during setting.
Process will be stopped.

Contents of error:</source>
        <comment>record resolution setting</comment>
        <translation>記録分解能設定でエラーが発生しました。
処理を中止します。

エラー内容:</translation>
    </message>
    <message>
        <source>Error occured during setting.
Process will be stopped.

Contents of error:</source>
        <comment>trigger edge setting</comment>
        <translation>トリガエッジ設定でエラーが発生しました。
処理を中止します。

エラー内容:</translation>
    </message>
    <message>
        <source>Error occured during setting.
Process will be stopped.

Contents of error:</source>
        <comment>trigger position setting</comment>
        <translation>トリガ位置設定でエラーが発生しました。
処理を中止します。

エラー内容:</translation>
    </message>
    <message>
        <source>Error occured during setting.
Process will be stopped.

Contents of error:</source>
        <comment>capture status check</comment>
        <translation>キャプチャ状態確認でエラーが発生しました。
処理を中止します。

エラー内容:</translation>
    </message>
    <message>
        <source>Error occured during setting.
Process will be stopped.

Contents of error:</source>
        <comment>capture setting 32</comment>
        <translation>キャプチャ設定でエラーが発生しました。
処理を中止します。

エラー内容:</translation>
    </message>
    <message>
        <source>Error occured during setting.
Process will be stopped.

Contents of error:</source>
        <comment>capture setting 33</comment>
        <translation>キャプチャ設定でエラーが発生しました。
処理を中止します。

エラー内容:</translation>
    </message>
    <message>
        <source>Capture start error</source>
        <translation>キャプチャ開始エラー</translation>
    </message>
    <message>
        <source>Channel source setting error.

Contents of error:</source>
        <translation>チャンネルソースの設定でエラーが発生しました。

エラー内容:</translation>
    </message>
    <message>
        <source>Setting error</source>
        <translation>設定エラー</translation>
    </message>
    <message>
        <source>Error during capture.
Will terminate process.

Contents of error:</source>
        <translation>キャプチャ中にエラーが発生しました。
処理を終了します。

エラー内容:</translation>
    </message>
    <message>
        <source>Capture erro</source>
        <translation>キャプチャエラー</translation>
    </message>
    <message>
        <source>Command error occured.

Contents of error:</source>
        <translation>コマンドエラーが発生しました。

エラー内容:</translation>
    </message>
    <message>
        <source>Command error</source>
        <translation>コマンドエラー</translation>
    </message>
</context>
<context>
    <name>talverin::CViewIO</name>
    <message>
        <source>Error during I/O setting.
The settings of these pins were not written to the driver unit: %1
Error: %2</source>
        <translation>I/O設定中にエラーが発生しました。
次のピンの設定はドライバユニットに書き込まれませんでした: %1
エラー: %2</translation>
    </message>
    <message>
        <source>Signal OFF</source>
        <translation>信号 OFF</translation>
    </message>
    <message>
        <source>Signal ON</source>
        <translation>信号 ON</translation>
    </message>
    <message>
        <source>Function OFF</source>
        <translation>機能 OFF</translation>
    </message>
    <message>
        <source>Function ON</source>
        <translation>機能 ON</translation>
    </message>
    <message>
        <source>Polarity</source>
        <translation>極性</translation>
    </message>
    <message>
        <source>Output logic</source>
        <translation>出力論理</translation>
    </message>
    <message>
        <source>&amp;A</source>
        <translation>&amp;A</translation>
    </message>
    <message>
        <source>&amp;B</source>
        <translation>&amp;B</translation>
    </message>
    <message>
        <source>&amp;Positive</source>
        <translation>正論理(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Negative</source>
        <translation>負論理(&amp;N)</translation>
    </message>
    <message>
        <source>Refresh(&amp;U)</source>
        <translation>更新(&amp;U)</translation>
    </message>
    <message>
        <source>Reset(&amp;D)</source>
        <translation>初期値に戻す(&amp;D)</translation>
    </message>
    <message>
        <source>Command &amp;Window	Ctrl+W</source>
        <translation>コマンドウィンドウ(&amp;W)	Ctrl+W</translation>
    </message>
    <message>
        <source>Control I/O</source>
        <translation>制御I/O</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>入力</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>出力</translation>
    </message>
    <message>
        <source>Error during I/O setting.
Please check driver unit</source>
        <translation>I/O設定中にエラーが発生しました。
ドライバユニットを確認してください</translation>
    </message>
    <message>
        <source>
Error:</source>
        <translation>
エラー:</translation>
    </message>
    <message>
        <source>Error during I/O setting</source>
        <translation>I/O設定エラー</translation>
    </message>
    <message>
        <source>Send I/O setting command</source>
        <translation>I/O設定コマンド送信</translation>
    </message>
    <message>
        <source>Send I/O info setting command</source>
        <translation>I/O情報設定コマンド送信</translation>
    </message>
    <message>
        <source>Send I/O info monitoring command</source>
        <translation>I/O情報モニタコマンド送信</translation>
    </message>
    <message>
        <source>Send I/O status</source>
        <translation>I/O状態送信</translation>
    </message>
    <message>
        <source>logic</source>
        <translation>論理</translation>
    </message>
    <message>
        <source>value</source>
        <translation>値</translation>
    </message>
    <message>
        <source>logic and value</source>
        <translation>論理と値</translation>
    </message>
    <message>
        <source>The setting of %1 is not complete: %2 is empty.
It is sent to the driver unit when function, logic and value are all set.</source>
        <translation>%1 の設定が完了していません: %2 が空です。
機能・論理・値がすべて揃うとドライバユニットへ送信されます。</translation>
    </message>
</context>
<context>
    <name>talverin::CViewTerminal</name>
    <message>
        <source>File format mismatch.
You can drop text format (*.txt) file only.</source>
        <comment>no extension</comment>
        <translation>拡張子がありません。
テキスト形式(*.txt)のファイルのみドロップできます。</translation>
    </message>
    <message>
        <source>File format mismatch.
You can drop text format (*.txt) file only.</source>
        <comment>other extension</comment>
        <translation>ファイル形式が違います。
テキスト形式(*.txt)のファイルのみドロップできます。</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>クリア</translation>
    </message>
    <message>
        <source>Save record</source>
        <translation>記録の保存</translation>
    </message>
    <message>
        <source>Terminal</source>
        <translation>ターミナル</translation>
    </message>
    <message>
        <source>Text Documents(*.txt)|*.txt|All Files(*.*)|*.*|</source>
        <translation>テキスト文書(*.txt)|*.txt|すべてのファイル(*.*)|*.*|</translation>
    </message>
    <message>
        <source>Failed to open file.
Specified file cannot be made, or is set read-only by another application.</source>
        <translation>ファイルを開けませんでした。
ファイルを作成できないか、他のアプリケーションにより読み取り専用に設定されています。</translation>
    </message>
    <message>
        <source>File save error</source>
        <translation>ファイル保存エラー</translation>
    </message>
    <message>
        <source>File drop error</source>
        <translation>ファイルドロップエラー</translation>
    </message>
    <message>
        <source>Failed to open file.
The specified file may not exist, or is read-only by other applicaton.</source>
        <translation>ファイルを開けませんでした。
指定されたファイルが存在しないか、他のアプリケーションにより読み取り専用になっています。</translation>
    </message>
    <message>
        <source>Cannot open file</source>
        <translation>ファイルを開けません</translation>
    </message>
    <message>
        <source>Talverin: communication time out</source>
        <translation>Talverin: 通信タイムアウト</translation>
    </message>
    <message>
        <source>Talverin: Error occurred.</source>
        <translation>Talverin: エラーが発生しました。</translation>
    </message>
    <message>
        <source>Error details: %1</source>
        <translation>エラー詳細: %1</translation>
    </message>
</context>
<context>
    <name>talverin::CTerminalDlg</name>
    <message>
        <source>Terminal window</source>
        <translation>ターミナルウィンドウ</translation>
    </message>
    <message>
        <source>Warning: Cannot measure when using terminal window.</source>
        <translation>警告: ターミナルウィンドウ使用中は測定できません。</translation>
    </message>
    <message>
        <source>Talverin:Send Timeout.</source>
        <translation>Talverin:送信タイムアウト。</translation>
    </message>
</context>
<context>
    <name>talverin::TerminalRegistration</name>
    <message>
        <source>Terminal</source>
        <translation>ターミナル</translation>
    </message>
</context>
<context>
    <name>CViewOscillo</name>
    <message>
        <source>&amp;Oscilloscope</source>
        <translation>オシロスコープ(&amp;O)</translation>
    </message>
    <message>
        <source>Bitmap Files(*.bmp)|*.bmp|All Files(*.*)|*.*|</source>
        <translation>ビットマップ ファイル(*.bmp)|*.bmp|すべてのファイル(*.*)|*.*|</translation>
    </message>
    <message>
        <source>Failed to save file.
Cannot create specified file, or file may be set read-only by another application.</source>
        <translation>ファイルを保存できませんでした。
指定したファイルを作成できないか、ほかのアプリケーションによって読み取り専用に設定されています。</translation>
    </message>
    <message>
        <source>File save error</source>
        <translation>ファイル保存エラー</translation>
    </message>
    <message>
        <source>CSV Files(*.csv)|*.csv|All Files(*.*)|*.*|</source>
        <translation>CSV ファイル(*.csv)|*.csv|すべてのファイル(*.*)|*.*|</translation>
    </message>
    <message>
        <source>Cannot open file.
Specified file does not exist, or the file is used by another application.</source>
        <translation>ファイルを開けません。
指定したファイルが存在しないか、ほかのアプリケーションで使用中です。</translation>
    </message>
    <message>
        <source>Cannot open file</source>
        <translation>ファイルを開けません</translation>
    </message>
    <message>
        <source>HORIZONAL</source>
        <translation>HORIZONAL</translation>
    </message>
    <message>
        <source>CURSOR</source>
        <translation>CURSOR</translation>
    </message>
    <message>
        <source>TRIGGER</source>
        <translation>TRIGGER</translation>
    </message>
    <message>
        <source>VERTICAL</source>
        <translation>VERTICAL</translation>
    </message>
    <message>
        <source>ZOOM</source>
        <translation>ZOOM</translation>
    </message>
    <message>
        <source>POS.</source>
        <translation>POS.</translation>
    </message>
    <message>
        <source>TIME(ms)</source>
        <translation>TIME(ms)</translation>
    </message>
    <message>
        <source>RES.</source>
        <translation>RES.</translation>
    </message>
    <message>
        <source>Horizonal</source>
        <translation>Horizonal</translation>
    </message>
    <message>
        <source>Vertical</source>
        <translation>Vertical</translation>
    </message>
    <message>
        <source>SRC</source>
        <translation>SRC</translation>
    </message>
    <message>
        <source>SLOPE</source>
        <translation>SLOPE</translation>
    </message>
    <message>
        <source>SCALE</source>
        <translation>SCALE</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>開始</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Memory low.  Some channels cannot be displayed.</source>
        <translation>メモリが不足しています。一部のチャンネルを表示できません。</translation>
    </message>
    <message>
        <source>Waiting for trigger</source>
        <translation>トリガ待ち</translation>
    </message>
    <message>
        <source>Reading data %1 %</source>
        <translation>データ読み込み中 %1 %</translation>
    </message>
    <message>
        <source>Function(&amp;W)</source>
        <translation>機能(&amp;W)</translation>
    </message>
    <message>
        <source>Trigger source CH%1</source>
        <translation>トリガ ソース CH%1</translation>
    </message>
    <message>
        <source>Slope &amp;DOWN</source>
        <translation>スロープ 立ち下がり(&amp;D)</translation>
    </message>
    <message>
        <source>Slope &amp;UP</source>
        <translation>スロープ 立ち上がり(&amp;U)</translation>
    </message>
    <message>
        <source>&amp;CONT</source>
        <translation>連続(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;SING</source>
        <translation>単発(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;AUTO</source>
        <translation>オート(&amp;A)</translation>
    </message>
    <message>
        <source>Show CH%1</source>
        <translation>CH%1 を表示</translation>
    </message>
    <message>
        <source>Vertical cursor CH%1</source>
        <translation>垂直カーソル CH%1</translation>
    </message>
    <message>
        <source>Execute(&amp;S)</source>
        <translation>実行(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Start</source>
        <translation>開始(&amp;S)</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>停止(&amp;T)</translation>
    </message>
    <message>
        <source>View record</source>
        <translation>表示履歴</translation>
    </message>
    <message>
        <source>not recorded.</source>
        <translation>記録なし</translation>
    </message>
    <message>
        <source>%1 bps</source>
        <translation>%1 bps</translation>
    </message>
    <message>
        <source>Oscilloscope</source>
        <translation>オシロスコープ</translation>
    </message>
    <message>
        <source>Save &amp;Bitmap</source>
        <translation>ビットマップ保存(&amp;B)</translation>
    </message>
    <message>
        <source>Save &amp;CSV</source>
        <translation>CSV 保存(&amp;C)</translation>
    </message>
    <message>
        <source>HORIZONAL/TIME setting is out of range.
Setting range is 0.1 through 500.0</source>
        <translation>HORIZONAL/TIME の設定が範囲外です。
設定範囲は 0.1 から 500.0 です。</translation>
    </message>
    <message>
        <source>HORIZONAL/RES. setting is out of range.
Setting range is 1 through 204</source>
        <translation>HORIZONAL/RES. の設定が範囲外です。
設定範囲は 1 から 204 です。</translation>
    </message>
    <message>
        <source>HORIZONAL/POS setting is out of range.
Setting range is from %1 through %2.</source>
        <translation>HORIZONAL/POS の設定が範囲外です。
設定範囲は %1 から %2 です。</translation>
    </message>
    <message>
        <source>AB cursor setting is out of range.
Setting range is from 0.0 through %1</source>
        <translation>AB カーソルの設定が範囲外です。
設定範囲は 0.0 から %1 です。</translation>
    </message>
    <message>
        <source>Range error</source>
        <translation>範囲エラー</translation>
    </message>
    <message>
        <source>Range Error</source>
        <translation>範囲エラー</translation>
    </message>
</context>
<context>
    <name>PortMenu</name>
    <message>
        <source>A port does not exist.</source>
        <translation>ポートがありません。</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>接続</translation>
    </message>
    <message>
        <source>Cannot set port 
Specified port cannot be used.
Port may be invalid.Please specity another board or check the port.</source>
        <translation>ポートを設定できません
指定されたポートは使用できません。
ポートが無効な可能性があります。別のボードを指定するか、ポートを確認してください。</translation>
    </message>
    <message>
        <source>Port set error</source>
        <translation>ポート設定エラー</translation>
    </message>
</context>
<context>
    <name>talverin::CCommandBar</name>
    <message>
        <source>Command tool</source>
        <translation>コマンドツール</translation>
    </message>
</context>
<context>
    <name>talverin::CConnectionBar</name>
    <message>
        <source>Connection tool</source>
        <translation>接続ツール</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>接続</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>切断</translation>
    </message>
    <message>
        <source>TX</source>
        <translation>TX</translation>
    </message>
    <message>
        <source>RX</source>
        <translation>RX</translation>
    </message>
</context>
<context>
    <name>talverin::CPortSelectDlg</name>
    <message>
        <source>Communication select port</source>
        <translation>通信ポートの選択</translation>
    </message>
    <message>
        <source>Communications Port:</source>
        <translation>通信ポート:</translation>
    </message>
    <message>
        <source>&amp;Set</source>
        <translation>設定(&amp;S)</translation>
    </message>
</context>
<context>
    <name>talverin::CStartDlg</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>talverin::CBusyDlg</name>
    <message>
        <source>Operating data</source>
        <translation>データ処理中</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>talverin::ReportPrinting</name>
    <message>
        <source>Print error</source>
        <translation>印刷エラー</translation>
    </message>
    <message>
        <source>The report template %1 cannot be read.</source>
        <translation>レポートのテンプレート %1 を読み込めません。</translation>
    </message>
    <message>
        <source>The report file %1 cannot be written.</source>
        <translation>レポートファイル %1 を書き込めません。</translation>
    </message>
    <message>
        <source>The report viewer %1 cannot be started.</source>
        <translation>レポートビューア %1 を起動できません。</translation>
    </message>
</context>
<context>
    <name>talverin::CTransferDlg</name>
    <message>
        <source>Upload(Driver -&gt; PC)-</source>
        <translation>アップロード(ドライバ -&gt; PC)-</translation>
    </message>
    <message>
        <source>Download(PC -&gt; Driver)-</source>
        <translation>ダウンロード(PC -&gt; ドライバ)-</translation>
    </message>
    <message>
        <source>Select new or select file to upload, and click OK</source>
        <translation>新規またはアップロード先のファイルを選択して、実行をクリックしてください</translation>
    </message>
    <message>
        <source>New (will overwrite current data)</source>
        <translation>新規 (現在のデータを上書きします)</translation>
    </message>
    <message>
        <source>Current data</source>
        <translation>現在のデータ</translation>
    </message>
    <message>
        <source>Specify the file to download, and click OK</source>
        <translation>ダウンロードするファイルを指定して、実行をクリックしてください</translation>
    </message>
    <message>
        <source>Select current data or select file to download, and click OK</source>
        <translation>現在のデータまたはダウンロードするファイルを選択して、実行をクリックしてください</translation>
    </message>
    <message>
        <source>&amp;File:</source>
        <translation>ファイル(&amp;F):</translation>
    </message>
    <message>
        <source>Connection port</source>
        <translation>接続ポート</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>実行</translation>
    </message>
    <message>
        <source>Download special parameters.</source>
        <translation>特殊パラメータをダウンロードする。</translation>
    </message>
    <message>
        <source>Uploading.&#xd;
   Please wait.</source>
        <translation>アップロード中です。&#xd;
   しばらくお待ちください。</translation>
    </message>
    <message>
        <source>Downloading.&#xd;
   Please wait</source>
        <translation>ダウンロード中です。&#xd;
   しばらくお待ちください</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>キャンセル(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Action cancelled</source>
        <translation>操作は取り消されました</translation>
    </message>
    <message>
        <source>Terminated with Error</source>
        <translation>エラーで終了しました</translation>
    </message>
    <message>
        <source>Error on following commands.</source>
        <translation>次のコマンドでエラーが発生しました。</translation>
    </message>
    <message>
        <source>Completed without error</source>
        <translation>エラーなしで完了しました</translation>
    </message>
    <message>
        <source>COMAND</source>
        <translation>コマンド</translation>
    </message>
    <message>
        <source>The contents of the error</source>
        <translation>エラー内容</translation>
    </message>
    <message>
        <source>Specify the correct file.</source>
        <translation>正しいファイルを指定してください。</translation>
    </message>
    <message>
        <source>File select error</source>
        <translation>ファイル選択エラー</translation>
    </message>
    <message>
        <source>The above file name is invalid.</source>
        <translation>上記のファイル名は無効です。</translation>
    </message>
    <message>
        <source>File name error</source>
        <translation>ファイル名エラー</translation>
    </message>
    <message>
        <source>Specified file does not exist
Specify the correct file.</source>
        <translation>指定されたファイルは存在しません
正しいファイルを指定してください。</translation>
    </message>
    <message>
        <source>Text Documents(*.txt)|*.txt|All Files(*.*)|*.*|</source>
        <translation>テキスト文書(*.txt)|*.txt|すべてのファイル(*.*)|*.*|</translation>
    </message>
    <message>
        <source>Talverin data(*.zrd)|*.zrd|Text Documents(*.txt)|*.txt|All Files(*.*)|*.*|</source>
        <translation>Talverin データ(*.zrd)|*.zrd|テキスト文書(*.txt)|*.txt|すべてのファイル(*.*)|*.*|</translation>
    </message>
    <message>
        <source>Set port and re-try to connect.</source>
        <translation>ポートを設定して、再度接続してください。</translation>
    </message>
    <message>
        <source>Connection</source>
        <translation>接続</translation>
    </message>
    <message>
        <source>Monitor alarm history</source>
        <translation>アラーム履歴の読み出し</translation>
    </message>
    <message>
        <source>Send upload data</source>
        <translation>アップロードデータの送信</translation>
    </message>
    <message>
        <source>Send downloaded data</source>
        <translation>ダウンロードデータの送信</translation>
    </message>
    <message>
        <source>Check the status of your unit and try again.

Contents of error:%1</source>
        <translation>ユニットの状態を確認して、再度実行してください。

エラー内容:%1</translation>
    </message>
    <message>
        <source>%1 Error</source>
        <translation>%1 エラー</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>アップロード</translation>
    </message>
    <message>
        <source>Error during data reading
Re-try upload.</source>
        <translation>データの読み出し中にエラーが発生しました
再度アップロードしてください。</translation>
    </message>
    <message>
        <source>Data error</source>
        <translation>データエラー</translation>
    </message>
    <message>
        <source>Failed to create file
Check that the file is not read-only</source>
        <translation>ファイルを作成できませんでした
ファイルが読み取り専用でないか確認してください</translation>
    </message>
    <message>
        <source>File save error</source>
        <translation>ファイル保存エラー</translation>
    </message>
    <message>
        <source>Failed to open file.
Check the file.</source>
        <translation>ファイルを開けませんでした。
ファイルを確認してください。</translation>
    </message>
    <message>
        <source>Cannot open file</source>
        <translation>ファイルを開けません</translation>
    </message>
    <message>
        <source>File is incorrect
File is damaged, or file is from another unit.
Check the file.</source>
        <translation>ファイルが正しくありません
ファイルが壊れているか、別のユニットのファイルです。
ファイルを確認してください。</translation>
    </message>
</context>
<context>
    <name>SettingsSaveReport</name>
    <message>
        <source>The settings could not be saved to &apos;%1&apos;.
%2</source>
        <translation>設定を &apos;%1&apos; に保存できませんでした。
%2</translation>
    </message>
</context>
</TS>
