<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>AnalysisRun</name>
    <message>
        <source>ファイルが見当たりません</source>
        <translation>The file cannot be found.</translation>
    </message>
    <message>
        <source>処理中にエラーが発生しました: %1</source>
        <translation>An error occurred while processing: %1</translation>
    </message>
    <message>
        <source>MD5ファイルからハッシュを読み込みました</source>
        <translation>Read the hash from the MD5 file</translation>
    </message>
    <message>
        <source>%1のファイル情報を取得中です..しばらくお待ち下さい</source>
        <translation>Reading the file information of %1... please wait</translation>
    </message>
    <message>
        <source>比較する値(%1文字)はCRC32(8)、MD5(32)、SHA-1(40)、SHA-256(64)、SHA-512(128)のどの長さでもありません。比較しません</source>
        <translation>The value to compare (%1 characters) has none of the lengths of CRC32 (8), MD5 (32), SHA-1 (40), SHA-256 (64) or SHA-512 (128). Nothing is compared</translation>
    </message>
    <message>
        <source>ファイルがオープン出来ません :理由File size of zero or run</source>
        <translation>Cannot open the file. Reason: File size of zero or run</translation>
    </message>
    <message>
        <source>%1の%2取得を開始</source>
        <translation>Computing the %2 of %1</translation>
    </message>
    <message>
        <source>%1の%2取得完了</source>
        <translation>Computed the %2 of %1</translation>
    </message>
    <message>
        <source>%1の取得時にユーザーによるキャンセルを受付ました</source>
        <translation>%1 canceled by the user</translation>
    </message>
    <message>
        <source>キャッシュを読み込み/使用</source>
        <translation>Read from the cache</translation>
    </message>
    <message>
        <source>ファイルがオープン出来ません :理由</source>
        <translation>Cannot open the file. Reason: </translation>
    </message>
    <message>
        <source>ファイルを読み込めません :理由</source>
        <translation>Cannot read the file. Reason: </translation>
    </message>
    <message>
        <source>MD5ファイルを生成しました</source>
        <translation>Created the MD5 file</translation>
    </message>
    <message>
        <source>MD5ファイルを生成できません: %1 (%2)</source>
        <translation>Cannot create the MD5 file %1 (%2)</translation>
    </message>
    <message>
        <source>%1は解析中に変更されました。結果は保存しません</source>
        <translation>%1 changed while it was being read. The results are not kept</translation>
    </message>
</context>
<context>
    <name>BatchList</name>
    <message>
        <source>%1 バイト</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>ファイル名: %1</source>
        <translation>Name: %1</translation>
    </message>
    <message>
        <source>ファイルパス: %1</source>
        <translation>Path: %1</translation>
    </message>
    <message>
        <source>現在のタイムスタンプ %1</source>
        <translation>Modified: %1</translation>
    </message>
    <message>
        <source>検証 %1: %2</source>
        <translation>Check %1: %2</translation>
    </message>
    <message>
        <source>  期待値: %1</source>
        <translation>  Expected: %1</translation>
    </message>
    <message>
        <source>  計算値: %1</source>
        <translation>  Computed: %1</translation>
    </message>
</context>
<context>
    <name>BatchRun</name>
    <message>
        <source>連番</source>
        <translation>Number</translation>
    </message>
    <message>
        <source>指定値＋連番</source>
        <translation>Text + number</translation>
    </message>
    <message>
        <source>タイムスタンプ</source>
        <translation>Timestamp</translation>
    </message>
</context>
<context>
    <name>Comparison</name>
    <message>
        <source>%1を比較 ---&gt; 一致</source>
        <translation>Compared %1 ---&gt; Match</translation>
    </message>
    <message>
        <source>%1を比較 ---&gt; 不一致</source>
        <translation>Compared %1 ---&gt; Mismatch</translation>
    </message>
</context>
<context>
    <name>DigestPassFile</name>
    <message>
        <source>ユーザー名とRealmには「:」と改行を使えません</source>
        <translation>The user name and the realm cannot contain &quot;:&quot; or line breaks.</translation>
    </message>
    <message>
        <source>パスワードには改行を使えません</source>
        <translation>The password cannot contain line breaks.</translation>
    </message>
    <message>
        <source>Shift_JISで表せない文字が含まれています</source>
        <translation>The text contains characters that Shift_JIS cannot represent.</translation>
    </message>
</context>
<context>
    <name>FileTime</name>
    <message>
        <source>yyyy&quot;年&quot;m&quot;月&quot;d&quot;日 &quot;hh&quot;時&quot;nn&quot;分&quot;ss&quot;秒&quot;</source>
        <translation>yyyy-mm-dd hh:nn:ss</translation>
    </message>
</context>
<context>
    <name>IniFile</name>
    <message>
        <source>%1 に書き込めません</source>
        <translation>Cannot write to %1</translation>
    </message>
</context>
<context>
    <name>ListsBeside</name>
    <message>
        <source>%1: チェックサムリストではないため読み飛ばしました</source>
        <translation>%1: skipped, not a checksum list</translation>
    </message>
    <message>
        <source>%1: 大きすぎるため読み飛ばしました</source>
        <translation>%1: skipped, too large</translation>
    </message>
    <message>
        <source>%1: 読み込めないため読み飛ばしました</source>
        <translation>%1: skipped, cannot be read</translation>
    </message>
</context>
<context>
    <name>ResultText</name>
    <message>
        <source>経過時間: %1時間%2分%3秒</source>
        <translation>Elapsed time: %1 h %2 min %3 s</translation>
    </message>
    <message>
        <source>ファイル情報取得ソフト --- %1 ---</source>
        <translation>File information tool --- %1 ---</translation>
    </message>
    <message>
        <source>○ </source>
        <translation>Yes </translation>
    </message>
    <message>
        <source>Ｘ </source>
        <translation>No </translation>
    </message>
    <message>
        <source>読み取り専用 %1隠しファイル %2</source>
        <translation>Read-only: %1 Hidden: %2</translation>
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
</context>
<context>
    <name>SettingsFile</name>
    <message>
        <source>TavrenneがVersion %1から</source>
        <translation>Tavrenne has been updated from version %1</translation>
    </message>
    <message>
        <source>%1へ更新されました</source>
        <translation>to version %1</translation>
    </message>
</context>
<context>
    <name>SystemReport</name>
    <message>
        <source> ○ </source>
        <translation> yes </translation>
    </message>
    <message>
        <source> × </source>
        <translation> no </translation>
    </message>
    <message>
        <source>時刻： %1</source>
        <translation>Time: %1</translation>
    </message>
    <message>
        <source>yyyy&quot;年&quot;mm&quot;月&quot;dd&quot;日&quot;hh&quot;時&quot;nn&quot;分&quot;</source>
        <extracomment>The time&apos;s pattern: yyyy year, mm month, dd day, hh hour, nn minute; &quot;...&quot; as written.</extracomment>
        <translation>yyyy&quot;-&quot;mm&quot;-&quot;dd&quot; &quot;hh&quot;:&quot;nn</translation>
    </message>
</context>
<context>
    <name>TAssociationPage</name>
    <message>
        <source>MD5ファイルのアイコンを指定</source>
        <translation>Icon of MD5 files</translation>
    </message>
    <message>
        <source>ファイルの関連付け</source>
        <translation>File Association</translation>
    </message>
    <message>
        <source>関連付け無効</source>
        <translation>Not associated</translation>
    </message>
    <message>
        <source>関連付け有効</source>
        <translation>Associated</translation>
    </message>
    <message>
        <source>関連付けの適用</source>
        <translation>Apply Association</translation>
    </message>
    <message>
        <source>起動時に関連付けの再設定を行う</source>
        <translation>Apply again at each start</translation>
    </message>
    <message>
        <source>MD5ファイルの関連付けを切り替えます&#x3000;よろしいですか？ </source>
        <translation>The association of MD5 files will be changed. Continue?</translation>
    </message>
</context>
<context>
    <name>TBatchRows</name>
    <message>
        <source>ファイル名：</source>
        <translation>File Name</translation>
    </message>
    <message>
        <source>現在のタイムスタンプ</source>
        <translation>Current Timestamp</translation>
    </message>
    <message>
        <source>変更後のタイムスタンプ</source>
        <translation>New Timestamp</translation>
    </message>
    <message>
        <source>種類</source>
        <translation>Digest</translation>
    </message>
    <message>
        <source>期待値</source>
        <translation>Expected</translation>
    </message>
    <message>
        <source>計算値</source>
        <translation>Computed</translation>
    </message>
    <message>
        <source>結果</source>
        <translation>Result</translation>
    </message>
</context>
<context>
    <name>TDialogs</name>
    <message>
        <source>はい(&amp;Y)</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>いいえ(&amp;N)</source>
        <translation>&amp;No</translation>
    </message>
</context>
<context>
    <name>TDigestPassDlg</name>
    <message>
        <source>ユーザー名:</source>
        <translation>User name:</translation>
    </message>
    <message>
        <source>パスワード:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>ファイル名:</source>
        <translation>File:</translation>
    </message>
    <message>
        <source>開く...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>作業内容</source>
        <translation>Action</translation>
    </message>
    <message>
        <source>新規ファイルへ作成</source>
        <translation>Create a new file</translation>
    </message>
    <message>
        <source>既存のファイルに追加</source>
        <translation>Add to an existing file</translation>
    </message>
    <message>
        <source>作成/追加</source>
        <translation>Create/Add</translation>
    </message>
    <message>
        <source> 拡張 </source>
        <translation> Options </translation>
    </message>
    <message>
        <source>同一のハッシュ値を追加しない</source>
        <translation>Do not add an entry the file already holds</translation>
    </message>
    <message>
        <source>上書き時に警告</source>
        <translation>Warn before overwriting a file</translation>
    </message>
    <message>
        <source>Digest認証ツール</source>
        <translation>Digest Password Files</translation>
    </message>
    <message>
        <source>%1 Digest認証ツール</source>
        <translation>%1 Digest Password Files</translation>
    </message>
    <message>
        <source>テキストファイル(*.txt)|*.txt</source>
        <translation>Text files (*.txt)|*.txt</translation>
    </message>
    <message>
        <source>未記入の項目があります...</source>
        <translation>Some fields are empty.</translation>
    </message>
    <message>
        <source>ファイルが見当たりません</source>
        <translation>The file cannot be found.</translation>
    </message>
    <message>
        <source>上書きの確認</source>
        <translation>Confirm Overwrite</translation>
    </message>
    <message>
        <source>新規を選択すると既存のファイルは上書きされます...上書きしますか？</source>
        <translation>Creating a new file replaces the existing one. Overwrite it?</translation>
    </message>
    <message>
        <source>%1 に書き込めません
%2</source>
        <translation>Cannot write to %1
%2</translation>
    </message>
</context>
<context>
    <name>TReportPage</name>
    <message>
        <source>システム情報</source>
        <translation>System Information</translation>
    </message>
    <message>
        <source>テキストファイル(*.txt)|*.txt</source>
        <translation>Text files (*.txt)|*.txt</translation>
    </message>
</context>
<context>
    <name>TShellPage</name>
    <message>
        <source>シェル統合</source>
        <translation>Shell Integration</translation>
    </message>
    <message>
        <source>シェル統合を無効</source>
        <translation>Integration off</translation>
    </message>
    <message>
        <source>シェル統合を有効</source>
        <translation>Integration on</translation>
    </message>
    <message>
        <source>シェルオプション適用</source>
        <translation>Apply Shell Option</translation>
    </message>
    <message>
        <source>シェル拡張を切り替えます&#x3000;よろしいですか？&#x3000;</source>
        <translation>The file manager&apos;s actions will be changed. Continue?</translation>
    </message>
</context>
<context>
    <name>TShortcutPage</name>
    <message>
        <source>デスクトップ</source>
        <translation>Desktop</translation>
    </message>
    <message>
        <source>スタートメニュー</source>
        <translation>Start menu</translation>
    </message>
    <message>
        <source>Tavrenneへ送る   デフォルト値:</source>
        <translation>Send to Tavrenne   Default:</translation>
    </message>
    <message>
        <source>全取得</source>
        <translation>All</translation>
    </message>
    <message>
        <source>何もしない</source>
        <translation>Nothing</translation>
    </message>
    <message>
        <source>*チェックONで作成,OFFで削除します</source>
        <translation>*Checked: created; unchecked: removed</translation>
    </message>
    <message>
        <source>作成/削除</source>
        <translation>Create/Remove</translation>
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
        <translation>O&amp;ptions</translation>
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
    <message>
        <source>処理の中断</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>すべてのファイル(*.*)|*.*|実行ファイル(*.exe)|*.exe|書庫ファイル|*.zip;*.cab;*.lzh;*.gca;*.lha;*.rar;*.ace;*.tar|MD5ファイル(*.MD5)|*.md5|ISOイメージ(CD,DVD)|*.iso;*.mdf;*.mds|ビデオファイル|*.avi;*.div;*.mpg;*.swf;*.dix;*.wmv|ミュージックファイル|*.wav;*.mp3;*.mp4;*.cda;*.wma|チェックサムファイル|SHA256SUMS;SHA512SUMS;SHA1SUMS;MD5SUMS;CHECKSUMS;*.sha256;*.sha512;*.sha1;*.md5;*.sfv</source>
        <translation>All files (*.*)|*.*|Programs (*.exe)|*.exe|Archives|*.zip;*.cab;*.lzh;*.gca;*.lha;*.rar;*.ace;*.tar|MD5 files (*.MD5)|*.md5|Disc images (CD, DVD)|*.iso;*.mdf;*.mds|Video files|*.avi;*.div;*.mpg;*.swf;*.dix;*.wmv|Music files|*.wav;*.mp3;*.mp4;*.cda;*.wma|Checksum lists|SHA256SUMS;SHA512SUMS;SHA1SUMS;MD5SUMS;CHECKSUMS;*.sha256;*.sha512;*.sha1;*.md5;*.sfv</translation>
    </message>
    <message>
        <source>現在の取得情報をクリアします&#x3000;よろしいですか？&#x3000;</source>
        <translation>Clear the current results?</translation>
    </message>
    <message>
        <source>終了の問い合わせ</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Tavrenneを終了します&#x3000;よろしいですか？&#x3000;</source>
        <translation>Exit Tavrenne?</translation>
    </message>
    <message>
        <source>ファイルが更新されました。 再度情報を取得しますか？ </source>
        <translation>The file has changed. Read its information again?</translation>
    </message>
    <message>
        <source>テキストファイル(*.txt)|*.txt</source>
        <translation>Text files (*.txt)|*.txt</translation>
    </message>
    <message>
        <source>ファイル %1 に書き込めません。
%2</source>
        <translation>Cannot write the file %1.
%2</translation>
    </message>
    <message>
        <source>%1の解凍(zip,lha,cab,gca)もしくは実行(関連付けから起動)を行います よろしいですか?</source>
        <translation>Extract %1 (zip, lha, cab, gca) or run it (with the program set for its type)?</translation>
    </message>
    <message>
        <source>ファイルが見つかりません</source>
        <translation>The file cannot be found.</translation>
    </message>
    <message>
        <source>確認</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>このファイルは実行形式です 実行しますか？</source>
        <translation>This file is a program. Run it?</translation>
    </message>
    <message>
        <source>%1を実行できませんでした
%2</source>
        <translation>Could not run %1
%2</translation>
    </message>
    <message>
        <source>%1を開けませんでした
%2</source>
        <translation>Could not open %1
%2</translation>
    </message>
    <message>
        <source>結果報告</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>%1ファイルの解凍が終了しました。</source>
        <translation>The %1 file has been extracted.</translation>
    </message>
    <message>
        <source>このファイルに対する作業が正しく終了しませんでした！ファイルが不正かDLLエラーです</source>
        <translation>The work on this file did not finish correctly. The file may be damaged, or the archive library failed.</translation>
    </message>
</context>
<context>
    <name>TVersionDlg</name>
    <message>
        <source>%1 のバージョン情報</source>
        <translation>About %1</translation>
    </message>
    <message>
        <source>アプリケーションバージョン: %1</source>
        <translation>Version: %1</translation>
    </message>
</context>
<context>
    <name>Tacdlgf</name>
    <message>
        <source>ファイルを追加しています...</source>
        <translation>Adding files...</translation>
    </message>
    <message>
        <source>中止(&amp;S)</source>
        <translation>&amp;Stop</translation>
    </message>
    <message>
        <source>ファイルを追加しています... %1</source>
        <translation>Adding files... %1</translation>
    </message>
</context>
<context>
    <name>Tallcheck</name>
    <message>
        <source>現在のファイル: %1</source>
        <translation>Current file: %1</translation>
    </message>
    <message>
        <source>Tavrenne- ファイル一括設定 -</source>
        <translation>Tavrenne - Batch Check -</translation>
    </message>
    <message>
        <source>追加（&amp;O）</source>
        <translation>Add &amp;Files...</translation>
    </message>
    <message>
        <source>フォルダから追加(&amp;D)...</source>
        <translation>Add from Fol&amp;der...</translation>
    </message>
    <message>
        <source>選択した作業を実行(&amp;G)</source>
        <translation>&amp;Run Selected Task</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>CRC32の一括取得(&amp;C)</source>
        <translation>&amp;CRC32 of All Files</translation>
    </message>
    <message>
        <source>MD5の一括取得(&amp;M)</source>
        <translation>&amp;MD5 of All Files</translation>
    </message>
    <message>
        <source>SHA-1一括取得（&amp;H）</source>
        <translation>S&amp;HA-1 of All Files</translation>
    </message>
    <message>
        <source>全取得(CRC32 MD5 SHA-1)(&amp;A)</source>
        <translation>&amp;All Digests (CRC32 MD5 SHA-1)</translation>
    </message>
    <message>
        <source>ファイル名一括変更(&amp;R)</source>
        <translation>&amp;Rename Files</translation>
    </message>
    <message>
        <source>Time Walker(&amp;T)</source>
        <translation>&amp;Time Walker</translation>
    </message>
    <message>
        <source>現在の時刻を取得(&amp;N)</source>
        <translation>Set to &amp;Now</translation>
    </message>
    <message>
        <source>リストを保存する(&amp;S)...</source>
        <translation>&amp;Save List...</translation>
    </message>
    <message>
        <source>リストをクリア(&amp;L)</source>
        <translation>C&amp;lear List</translation>
    </message>
    <message>
        <source>チェックサムの検証(&amp;V)</source>
        <translation>&amp;Verify Checksums</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>作業(&amp;W)</source>
        <translation>&amp;Task</translation>
    </message>
    <message>
        <source>現在のファイル:</source>
        <translation>Current file:</translation>
    </message>
    <message>
        <source>全体の進行状況:</source>
        <translation>Overall progress:</translation>
    </message>
    <message>
        <source>設定する日時：</source>
        <translation>Date and time to set:</translation>
    </message>
    <message>
        <source>連番</source>
        <translation>Number</translation>
    </message>
    <message>
        <source>指定値+連番</source>
        <translation>Text + number</translation>
    </message>
    <message>
        <source>タイムスタンプ</source>
        <translation>Timestamp</translation>
    </message>
    <message>
        <source>指定値:</source>
        <translation>Text:</translation>
    </message>
    <message>
        <source>追加(&amp;A)...</source>
        <translation>&amp;Add Files...</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>エラー：</source>
        <translation>Errors:</translation>
    </message>
    <message>
        <source>CRC32 一括取得</source>
        <translation>CRC32 of All Files</translation>
    </message>
    <message>
        <source>MD5 一括取得</source>
        <translation>MD5 of All Files</translation>
    </message>
    <message>
        <source>SHA-1 一括取得</source>
        <translation>SHA-1 of All Files</translation>
    </message>
    <message>
        <source>全取得 ( CRC32 MD5 SHA-1)</source>
        <translation>All Digests (CRC32 MD5 SHA-1)</translation>
    </message>
    <message>
        <source>ファイル名一括変更</source>
        <translation>Rename Files</translation>
    </message>
    <message>
        <source>Time Walker</source>
        <translation>Time Walker</translation>
    </message>
    <message>
        <source>チェックサムの検証</source>
        <translation>Verify Checksums</translation>
    </message>
    <message>
        <source>すべてのファイル(*.*)|*.*</source>
        <translation>All files (*.*)|*.*</translation>
    </message>
    <message>
        <source>フォルダ内のファイルを追加します...</source>
        <translation>Add the Files of a Folder</translation>
    </message>
    <message>
        <source>確認</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>サブフォルダ内のファイルも追加しますか？</source>
        <translation>Add the files in subfolders too?</translation>
    </message>
    <message>
        <source>一致</source>
        <translation>Match</translation>
    </message>
    <message>
        <source>不一致</source>
        <translation>Mismatch</translation>
    </message>
    <message>
        <source>見つかりません</source>
        <translation>Not found</translation>
    </message>
    <message>
        <source>読めません</source>
        <translation>Unreadable</translation>
    </message>
    <message>
        <source>テキストファイル(*.txt)|*.txt|SHA256SUMS 形式|SHA256SUMS;*.sha256|SHA512SUMS 形式|SHA512SUMS;*.sha512|MD5SUMS 形式|MD5SUMS;*.md5|SFV 形式|*.sfv</source>
        <translation>Text files (*.txt)|*.txt|SHA256SUMS format|SHA256SUMS;*.sha256|SHA512SUMS format|SHA512SUMS;*.sha512|MD5SUMS format|MD5SUMS;*.md5|SFV format|*.sfv</translation>
    </message>
    <message>
        <source>リストをクリアします&#x3000;よろしいですか？</source>
        <translation>Clear the list?</translation>
    </message>
    <message>
        <source>選択された処理を行います&#x3000;よろしいですか？&#x3000;</source>
        <translation>Run the selected task?</translation>
    </message>
    <message>
        <source>フェーズ 1 CRC32:</source>
        <translation>Phase 1 CRC32:</translation>
    </message>
    <message>
        <source>フェーズ 2 MD5:</source>
        <translation>Phase 2 MD5:</translation>
    </message>
    <message>
        <source>フェーズ 3 SHA-1:</source>
        <translation>Phase 3 SHA-1:</translation>
    </message>
    <message>
        <source>作業が完了しました&#x3000;error:%1  一致:%2  不一致:%3  見つかりません:%4  読めません:%5</source>
        <translation>Finished. Errors: %1  Matched: %2  Mismatched: %3  Not found: %4  Unreadable: %5</translation>
    </message>
    <message>
        <source>作業が完了しました&#x3000;error:%1  </source>
        <translation>Finished. Errors: %1</translation>
    </message>
    <message>
        <source>%1 個のファイルはリストに書けませんでした（読めないファイル %2、この形式で書けない名前 %3）</source>
        <translation>%1 files could not be written to the list (unreadable: %2, names this format cannot hold: %3).</translation>
    </message>
    <message>
        <source>チェックサムファイルとして読めません: %1
%2</source>
        <translation>Cannot read this file as a checksum list: %1
%2</translation>
    </message>
    <message>
        <source>%1 はすでにあります。置き換えますか？</source>
        <translation>%1 already exists. Replace it?</translation>
    </message>
    <message>
        <source>指定値に「/」は使えません</source>
        <translation>The text cannot contain &quot;/&quot;.</translation>
    </message>
</context>
<context>
    <name>Tconv</name>
    <message>
        <source>「%1」はShift_JISで表せない文字のため、ハッシュを生成できません</source>
        <translation>&quot;%1&quot; cannot be represented in Shift_JIS, so no digest can be made.</translation>
    </message>
    <message>
        <source>元になる文字列：</source>
        <translation>Text:</translation>
    </message>
    <message>
        <source>結果：</source>
        <translation>Result:</translation>
    </message>
    <message>
        <source>大文字</source>
        <translation>Upper case</translation>
    </message>
    <message>
        <source>生成</source>
        <translation>Generate</translation>
    </message>
</context>
<context>
    <name>Tcustomoption</name>
    <message>
        <source>%1の設定</source>
        <translation>%1 Settings</translation>
    </message>
    <message>
        <source>Tavrenneが新規に導入されました</source>
        <translation>Tavrenne has been installed</translation>
    </message>
    <message>
        <source>基本設定</source>
        <translation>General</translation>
    </message>
    <message>
        <source>追加設定</source>
        <translation>Advanced</translation>
    </message>
    <message>
        <source>バッファ</source>
        <translation>Buffer</translation>
    </message>
    <message>
        <source>バッファ設定</source>
        <translation>Buffer Settings</translation>
    </message>
    <message>
        <source>MD5ファイルの関連付け</source>
        <translation>MD5 File Association</translation>
    </message>
    <message>
        <source>MD5関連付け設定</source>
        <translation>MD5 Association Settings</translation>
    </message>
    <message>
        <source>シェル統合</source>
        <translation>Shell Integration</translation>
    </message>
    <message>
        <source>シェル統合の設定</source>
        <translation>Shell Integration Settings</translation>
    </message>
    <message>
        <source>設定の初期化</source>
        <translation>Reset Settings</translation>
    </message>
    <message>
        <source>ショートカット</source>
        <translation>Shortcuts</translation>
    </message>
    <message>
        <source>ショートカットコントロール</source>
        <translation>Shortcuts</translation>
    </message>
    <message>
        <source>サウンド</source>
        <translation>Sounds</translation>
    </message>
    <message>
        <source>サウンドの設定</source>
        <translation>Sound Settings</translation>
    </message>
    <message>
        <source>ファイルの更新検出</source>
        <translation>File Changes</translation>
    </message>
    <message>
        <source>ファイル更新の検出</source>
        <translation>Detecting File Changes</translation>
    </message>
    <message>
        <source>サポート</source>
        <translation>Support</translation>
    </message>
    <message>
        <source>レポートの作成</source>
        <translation>Create a Report</translation>
    </message>
    <message>
        <source>レポート作成</source>
        <translation>Create a Report</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>ファイルサイズを常にByte表記</source>
        <translation>Always show file sizes in bytes</translation>
    </message>
    <message>
        <source>MD5ファイルを通常のファイルとして扱う</source>
        <translation>Treat MD5 files as ordinary files</translation>
    </message>
    <message>
        <source>情報取得時に自動的にMD5ファイルを生成する</source>
        <translation>Write an MD5 file after each analysis</translation>
    </message>
    <message>
        <source>終了時に問い合わせる</source>
        <translation>Ask before exiting</translation>
    </message>
    <message>
        <source>結果をクリア時にログも消去する</source>
        <translation>Clear the log with the results</translation>
    </message>
    <message>
        <source>MD5ファイルがあれば使用する</source>
        <translation>Use an MD5 file where there is one</translation>
    </message>
    <message>
        <source>表示言語：</source>
        <translation>Language:</translation>
    </message>
    <message>
        <source>自動</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>日本語</source>
        <translation>Japanese</translation>
    </message>
    <message>
        <source>*変更は次回の起動から有効になります</source>
        <translation>*A change takes effect at the next start</translation>
    </message>
    <message>
        <source>自動シャットダウンオプションを表示</source>
        <translation>Show the automatic shutdown option</translation>
    </message>
    <message>
        <source>スプラッシュを非表示</source>
        <translation>Hide the splash screen</translation>
    </message>
    <message>
        <source>SSTPを使用する</source>
        <translation>Use SSTP</translation>
    </message>
    <message>
        <source>キャッシュを使用する</source>
        <translation>Use the cache</translation>
    </message>
    <message>
        <source>キャッシュ上限</source>
        <translation>Cache limit</translation>
    </message>
    <message>
        <source>終了時にキャッシュをクリアする</source>
        <translation>Clear the cache on exit</translation>
    </message>
    <message>
        <source>キャッシュのクリア</source>
        <translation>Clear Cache</translation>
    </message>
    <message>
        <source>アプリケーションの優先度：</source>
        <translation>Program priority:</translation>
    </message>
    <message>
        <source>普通</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>高い</source>
        <translation>High</translation>
    </message>
    <message>
        <source>低い</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>同じフォルダのチェックサムリストと照合する</source>
        <translation>Compare with checksum lists in the same folder</translation>
    </message>
    <message>
        <source>自動設定を有効</source>
        <translation>Choose automatically</translation>
    </message>
    <message>
        <source>*自動設定をONにすると下の値は無効です</source>
        <translation>*While chosen automatically, the value below is not used</translation>
    </message>
    <message>
        <source>手動設定</source>
        <translation>Manual Setting</translation>
    </message>
    <message>
        <source>バッファサイズ (KB)</source>
        <translation>Buffer size (KB)</translation>
    </message>
    <message>
        <source>初期値</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>設定値の初期化</source>
        <translation>Reset Settings</translation>
    </message>
    <message>
        <source>完全な初期化</source>
        <translation>Full Reset</translation>
    </message>
    <message>
        <source>サウンド有効</source>
        <translation>Play sounds</translation>
    </message>
    <message>
        <source>開く...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>作業終了時</source>
        <translation>When work ends</translation>
    </message>
    <message>
        <source>エラー発生時</source>
        <translation>When an error occurs</translation>
    </message>
    <message>
        <source>ファイルの更新を自動的に検出する</source>
        <translation>Detect changes to the file automatically</translation>
    </message>
    <message>
        <source>サポートの参照</source>
        <translation>Support</translation>
    </message>
    <message>
        <source>開発元へメール</source>
        <translation>Mail the Developer</translation>
    </message>
    <message>
        <source>ヘルプの参照...</source>
        <translation>View Help...</translation>
    </message>
    <message>
        <source>サポートの際にはレポートページから環境情報を取得してご報告下さい</source>
        <translation>When you ask for support, please include the system information from the report page.</translation>
    </message>
    <message>
        <source>Tavrenneの設定</source>
        <translation>Tavrenne Settings</translation>
    </message>
    <message>
        <source>サウンドファイル(*.wav)|*.wav</source>
        <translation>Sound files (*.wav)|*.wav</translation>
    </message>
    <message>
        <source>設定を初期値へ戻します。初期化されるのは基本設定と追加設定です。<byte value="xd"/>
システムを含めて初期化する場合は&quot;%1&quot;ボタンをクリックして下さい</source>
        <translation>The settings go back to their initial values; only the General and Advanced settings are reset.<byte value="xd"/>
To reset the desktop integration as well, click &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>確認</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>すべての設定を初期化します、作業後デスクトップセッションへの再ログインが必要となります。<byte value="xd"/>
続ける場合は&quot;はい&quot;をクリックしてメッセージに従ってください。</source>
        <translation>All settings will be reset; afterwards you will need to log in to the desktop again.<byte value="xd"/>
To continue, click &quot;Yes&quot; and follow the messages.</translation>
    </message>
</context>
<context>
    <name>Tfilesec</name>
    <message>
        <source>%1個の同一内容のファイルが見つかりました！<byte value="xd"/>
リストをダブルクリックする事ファイルの存在するフォルダをエクスプローラで開けます</source>
        <translation>Files with the same content found: %1<byte value="xd"/>
Double-click a row to open its folder in the file manager.</translation>
    </message>
    <message>
        <source>ドライブの選択</source>
        <translation>Drives</translation>
    </message>
    <message>
        <source>検索結果</source>
        <translation>Results</translation>
    </message>
    <message>
        <source>検索対象のドライブ ▼</source>
        <translation>Drives to search ▼</translation>
    </message>
    <message>
        <source>検索するファイル：</source>
        <translation>File to match:</translation>
    </message>
    <message>
        <source>検索</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>すべて選択</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>すべて未選択</source>
        <translation>Select None</translation>
    </message>
    <message>
        <source>パス</source>
        <translation>Path</translation>
    </message>
    <message>
        <source>進歩状況：</source>
        <translation>Progress:</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>同一ファイル検索</source>
        <translation>Find Identical Files</translation>
    </message>
    <message>
        <source>確認</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>%1と同一ファイルの検索を行います</source>
        <translation>Search for files with the same content as %1?</translation>
    </message>
</context>
<context>
    <name>Tspwindow</name>
    <message>
        <source>ファイルバージョン&#x3000;%1</source>
        <translation>File version %1</translation>
    </message>
</context>
</TS>
