<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>AnalysisRun</name>
    <message>
        <source>ファイルが見当たりません</source>
        <translation>The file cannot be found.</translation>
    </message>
</context>
<context>
    <name>TTavrenne</name>
    <message>
        <source>ログを表示</source>
        <translation>Show Log</translation>
    </message>
    <message>
        <source>ログを隠す</source>
        <translation>Hide Log</translation>
    </message>
    <message>
        <source>ファイル名:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>ファイルサイズ:</source>
        <translation>Size:</translation>
    </message>
    <message>
        <source>ファイルバージョン:</source>
        <translation>File version:</translation>
    </message>
    <message>
        <source>更新日時:</source>
        <translation>Modified:</translation>
    </message>
    <message>
        <source>著作権:</source>
        <translation>Copyright:</translation>
    </message>
    <message>
        <source>ファイルパス:</source>
        <translation>Path:</translation>
    </message>
    <message>
        <source>ファイルを開く(&amp;O)...</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>ファイルを開く</source>
        <translation>Open a file</translation>
    </message>
    <message>
        <source>更新(&amp;R)</source>
        <translation>&amp;Refresh</translation>
    </message>
    <message>
        <source>更新</source>
        <translation>Analyse the file again</translation>
    </message>
    <message>
        <source>一括チェック(&amp;A)...</source>
        <translation>&amp;Batch Check...</translation>
    </message>
    <message>
        <source>一括チェック</source>
        <translation>Check many files at once</translation>
    </message>
    <message>
        <source>実行/解凍（&amp;U）</source>
        <translation>R&amp;un or Extract</translation>
    </message>
    <message>
        <source>実行/解凍</source>
        <translation>Run the file or extract the archive</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>結果をコピー(&amp;C)</source>
        <translation>&amp;Copy Results</translation>
    </message>
    <message>
        <source>結果をコピー</source>
        <translation>Copy the results</translation>
    </message>
    <message>
        <source>結果をファイルへ保存(&amp;F)</source>
        <translation>Save Results to &amp;File</translation>
    </message>
    <message>
        <source>結果を保存</source>
        <translation>Save the results to a file</translation>
    </message>
    <message>
        <source>ファイル名をコピー(&amp;S)</source>
        <translation>Copy File &amp;Name</translation>
    </message>
    <message>
        <source>ファイル名をコピー (FullPath) (&amp;P)</source>
        <translation>Copy Full &amp;Path</translation>
    </message>
    <message>
        <source>結果をクリア(&amp;E)</source>
        <translation>Cl&amp;ear Results</translation>
    </message>
    <message>
        <source>結果をクリア</source>
        <translation>Clear Results</translation>
    </message>
    <message>
        <source>ウインドウを常に前面に表示(&amp;W)</source>
        <translation>Always on &amp;Top</translation>
    </message>
    <message>
        <source>書式-&gt;L </source>
        <translation>Upper-case digests</translation>
    </message>
    <message>
        <source>書式-&gt;S </source>
        <translation>Lower-case digests</translation>
    </message>
    <message>
        <source>文字列からハッシュ生成(&amp;H)...</source>
        <translation>&amp;Hash a Text...</translation>
    </message>
    <message>
        <source>同一ファイルを検索(&amp;S)...</source>
        <translation>Find &amp;Identical Files...</translation>
    </message>
    <message>
        <source>同一ファイル検索</source>
        <translation>Find files with the same content</translation>
    </message>
    <message>
        <source>Digest認証ツール(&amp;D)...</source>
        <translation>&amp;Digest Password Files...</translation>
    </message>
    <message>
        <source>詳細設定(&amp;C)...</source>
        <translation>&amp;Preferences...</translation>
    </message>
    <message>
        <source>詳細設定</source>
        <translation>Preferences</translation>
    </message>
    <message>
        <source>Tavrenneのヘルプ(&amp;C)</source>
        <translation>Tavrenne &amp;Help</translation>
    </message>
    <message>
        <source>ヘルプを開く</source>
        <translation>Open the manual</translation>
    </message>
    <message>
        <source>Quilloryのウェブサイトを表示(&amp;W)</source>
        <translation>Quillory &amp;Website</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;V)...</source>
        <translation>&amp;About Tavrenne...</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>最近使ったファイル</source>
        <translation>Recent Files</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>書式-&gt;L (&amp;L)</source>
        <translation>&amp;Upper-Case Digests</translation>
    </message>
    <message>
        <source>書式-&gt;S (&amp;S)</source>
        <translation>&amp;Lower-Case Digests</translation>
    </message>
    <message>
        <source>追加機能(&amp;T)</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>オプション(&amp;C)</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>同一ファイルを検索(&amp;Z)...</source>
        <translation>Find &amp;Identical Files...</translation>
    </message>
    <message>
        <source>詳細設定(&amp;Y)...</source>
        <translation>&amp;Preferences...</translation>
    </message>
    <message>
        <source>Tavrenneのヘルプ(&amp;I)</source>
        <translation>Tavrenne &amp;Help</translation>
    </message>
    <message>
        <source>読み取り専用</source>
        <translation>Read-only</translation>
    </message>
    <message>
        <source>隠しファイル</source>
        <translation>Hidden</translation>
    </message>
    <message>
        <source>取得タイプ</source>
        <translation>Digests</translation>
    </message>
    <message>
        <source>CRC32を取得</source>
        <translation>CRC32</translation>
    </message>
    <message>
        <source>MD5を取得</source>
        <translation>MD5</translation>
    </message>
    <message>
        <source>SHA-1を取得</source>
        <translation>SHA-1</translation>
    </message>
    <message>
        <source>SHA-256を取得</source>
        <translation>SHA-256</translation>
    </message>
    <message>
        <source>SHA-512を取得</source>
        <translation>SHA-512</translation>
    </message>
    <message>
        <source>ハッシュを比較</source>
        <translation>Compare with</translation>
    </message>
    <message>
        <source>自動</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>比較するハッシュタイプ</source>
        <translation>The kind of digest to compare</translation>
    </message>
    <message>
        <source>作業終了時にシャットダウン</source>
        <translation>Shut down when done</translation>
    </message>
    <message>
        <source>  時間</source>
        <translation>  Time</translation>
    </message>
    <message>
        <source>イベント</source>
        <translation>Event</translation>
    </message>
    <message>
        <source>ログを保存する(&amp;S)...</source>
        <translation>&amp;Save Log...</translation>
    </message>
    <message>
        <source>ログを消去する(&amp;E)</source>
        <translation>&amp;Clear Log</translation>
    </message>
    <message>
        <source>元のサイズに戻す(&amp;R)</source>
        <translation>&amp;Restore</translation>
    </message>
    <message>
        <source>移動(&amp;M)</source>
        <translation>&amp;Move</translation>
    </message>
    <message>
        <source>サイズ変更(&amp;S)</source>
        <translation>&amp;Size</translation>
    </message>
    <message>
        <source>最小化(&amp;N)</source>
        <translation>Mi&amp;nimize</translation>
    </message>
    <message>
        <source>最大化(&amp;X)</source>
        <translation>Ma&amp;ximize</translation>
    </message>
    <message>
        <source>閉じる(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
</context>
</TS>
