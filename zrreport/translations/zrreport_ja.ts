<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>zrreport::CMainFrame</name>
    <message>
        <source>Toolbar</source>
        <translation>ツールバー</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>レディ</translation>
    </message>
    <message>
        <source>Talverin Report</source>
        <translation>Talverin Report</translation>
    </message>
    <message>
        <source>%1 - Talverin Report</source>
        <translation>%1 - Talverin Report</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>印刷(&amp;P)...</translation>
    </message>
    <message>
        <source>Print the active document</source>
        <translation>作業中の文書を印刷します</translation>
    </message>
    <message>
        <source>P&amp;rint Setup...</source>
        <translation>プリンタの設定(&amp;R)...</translation>
    </message>
    <message>
        <source>Change the printer and printing options</source>
        <translation>プリンタと印刷オプションを変更します</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>終了(&amp;X)</translation>
    </message>
    <message>
        <source>Quit the application</source>
        <translation>アプリケーションを終了します</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>ツールバー(&amp;T)</translation>
    </message>
    <message>
        <source>Show or hide the toolbar</source>
        <translation>ツールバーの表示と非表示を切り替えます</translation>
    </message>
    <message>
        <source>&amp;Status Bar</source>
        <translation>ステータスバー(&amp;S)</translation>
    </message>
    <message>
        <source>Show or hide the status bar</source>
        <translation>ステータスバーの表示と非表示を切り替えます</translation>
    </message>
    <message>
        <source>&amp;About Talverin Report...</source>
        <translation>バージョン情報(&amp;A)...</translation>
    </message>
    <message>
        <source>Display program information, version number and copyright</source>
        <translation>プログラム情報、バージョン、著作権を表示します</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>表示(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <source>About Talverin Report</source>
        <translation>Talverin Report のバージョン情報</translation>
    </message>
    <message>
        <source>Talverin Report Version %1</source>
        <translation>Talverin Report バージョン %1</translation>
    </message>
</context>
<context>
    <name>zrreport::CZRREPORTDoc</name>
    <message>
        <source>Untitled</source>
        <translation>無題</translation>
    </message>
</context>
<context>
    <name>zrreport::ReportPrinter</name>
    <message>
        <source>The report could not be printed on %1.</source>
        <translation>レポートを %1 に印刷できませんでした。</translation>
    </message>
</context>
</TS>
