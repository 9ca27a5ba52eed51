<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>AppTexts</name>
    <message>
        <source>Another Instance of Tesseldoc is running.</source>
        <translation>Tesseldoc は既に実行中です。</translation>
    </message>
    <message>
        <source>Unable to locate Lotus notes, please install lotusnotes on this computer</source>
        <translation>Lotus Notes が見つかりません。このコンピューターに Lotus Notes をインストールしてください。</translation>
    </message>
    <message>
        <source>Please stop the current saving process and then exit.</source>
        <translation>現在の保存処理を停止してから終了してください。</translation>
    </message>
    <message>
        <source>Are you sure , you want to close the application?</source>
        <translation>アプリケーションを終了してもよろしいですか?</translation>
    </message>
    <message>
        <source>Tesseldoc.html file not exist, please reinstall software </source>
        <translation>Tesseldoc.html が見つかりません。ソフトウェアを再インストールしてください。</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>ツール(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <source>&amp;Add File(s)</source>
        <translation>ファイルの追加(&amp;A)</translation>
    </message>
    <message>
        <source>Add &amp;Domino File(s)</source>
        <translation>Domino ファイルの追加(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;Export</source>
        <translation>書き出し(&amp;E)</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>終了(&amp;X)</translation>
    </message>
    <message>
        <source>Advance Settings</source>
        <translation>詳細設定</translation>
    </message>
    <message>
        <source>Software home page</source>
        <translation>ソフトウェアのホームページ</translation>
    </message>
    <message>
        <source>&amp;About Tesseldoc</source>
        <translation>Tesseldoc について(&amp;A)</translation>
    </message>
    <message>
        <source>Add File(s)
&amp;Add File(s)</source>
        <translation>ファイルの追加
ファイルの追加(&amp;A)</translation>
    </message>
    <message>
        <source>Add Domino File(s)
Add &amp;Domino File(s)</source>
        <translation>Domino ファイルの追加
Domino ファイルの追加(&amp;D)</translation>
    </message>
    <message>
        <source>Export
&amp;Export</source>
        <translation>書き出し
書き出し(&amp;E)</translation>
    </message>
    <message>
        <source>Quit the application</source>
        <translation>アプリケーションを終了します</translation>
    </message>
    <message>
        <source>Click to open software help
&amp;Help</source>
        <translation>クリックするとヘルプを開きます
ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <source>Click to visit software homepage</source>
        <translation>クリックするとホームページを開きます</translation>
    </message>
    <message>
        <source>Display program information, version number and copyright</source>
        <translation>プログラム情報、バージョン番号、著作権を表示します</translation>
    </message>
    <message>
        <source>Step 1</source>
        <translation>ステップ 1</translation>
    </message>
    <message>
        <source>Step 2</source>
        <translation>ステップ 2</translation>
    </message>
    <message>
        <source>Step 3</source>
        <translation>ステップ 3</translation>
    </message>
    <message>
        <source>Please select NSF file(s) or Domino file(s) to convert </source>
        <translation>変換する NSF ファイルまたは Domino ファイルを選択してください</translation>
    </message>
    <message>
        <source>Preview Item(s) of NSF database (in case of single NSF file selection only)</source>
        <translation>NSF データベースのアイテムのプレビュー (NSF ファイルを 1 つ選択した場合のみ)</translation>
    </message>
    <message>
        <source>Select Destination &amp; Saving mode</source>
        <translation>保存先と保存モードの選択</translation>
    </message>
    <message>
        <source>Folder Selection</source>
        <translation>フォルダーの選択</translation>
    </message>
    <message>
        <source>Saving Progress</source>
        <translation>保存の進行状況</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>次へ(&amp;N)</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <translation>戻る(&amp;B)</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>停止(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Preview</source>
        <translation>プレビュー(&amp;P)</translation>
    </message>
</context>
<context>
    <name>CAdvanceSettingsDlg</name>
    <message>
        <source>Documents are written by this many writers side by side (office instances, or threads of the native engine)</source>
        <translation>並行して文書を書き込む数です (Office インスタンス数、またはネイティブ エンジンのスレッド数)</translation>
    </message>
    <message>
        <source>Native (no office needed)</source>
        <translation>ネイティブ (Office 不要)</translation>
    </message>
    <message>
        <source>Office (LibreOffice)</source>
        <translation>Office (LibreOffice)</translation>
    </message>
    <message>
        <source>The native engine writes .doc and .docx itself; an item it cannot represent, and PDF documents, are written by the office</source>
        <translation>ネイティブ エンジンは .doc と .docx を自身で書き込みます。表現できないアイテムと PDF 文書は Office が書き込みます</translation>
    </message>
    <message>
        <source>Engine:</source>
        <translation>エンジン:</translation>
    </message>
    <message>
        <source>Writers side by side:</source>
        <translation>並行書き込み数:</translation>
    </message>
</context>
<context>
    <name>DominoBrowserTexts</name>
    <message>
        <source>Domino Server File Selection</source>
        <translation>Domino サーバーのファイル選択</translation>
    </message>
    <message>
        <source>Add Domino Server</source>
        <translation>Domino サーバーの追加</translation>
    </message>
    <message>
        <source>Search Domino Server</source>
        <translation>Domino サーバーの検索</translation>
    </message>
    <message>
        <source>Domino Server Name(s)</source>
        <translation>Domino サーバー名</translation>
    </message>
    <message>
        <source>Domino Server NSF File(s)</source>
        <translation>Domino サーバーの NSF ファイル</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>すべて選択</translation>
    </message>
    <message>
        <source>Unselect All</source>
        <translation>すべて選択解除</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Finish</source>
        <translation>完了</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Step 1: Find or Add the Domino Server Name , Then select the Domino Server Name from the list</source>
        <translation>ステップ 1: Domino サーバー名を検索または追加し、一覧から Domino サーバー名を選択してください</translation>
    </message>
    <message>
        <source>Step 2: Select the nsf files belonging to the selected Domino Server and click Add button</source>
        <translation>ステップ 2: 選択した Domino サーバーの NSF ファイルを選択し、[追加] ボタンをクリックしてください</translation>
    </message>
    <message>
        <source>Please provide domino server name or IP address.</source>
        <translation>Domino サーバー名または IP アドレスを入力してください。</translation>
    </message>
    <message>
        <source>Please enter valid domino server name</source>
        <translation>有効な Domino サーバー名を入力してください</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
Type the server&apos;s host name or IP address, optionally with a port (host:port), or its address (https://host:port).</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
サーバーのホスト名または IP アドレス (ポート付きも可: host:port)、またはアドレス (https://host:port) を入力してください。</translation>
    </message>
    <message>
        <source> Domino Server already exist in the list</source>
        <translation> は既に一覧にある Domino サーバーです</translation>
    </message>
    <message>
        <source>The enumeration of server information can take several minutes<byte value="xd"/>
<byte value="xd"/>
Do you want to enumerate the server now?</source>
        <translation>サーバー情報の取得には数分かかることがあります。<byte value="xd"/>
<byte value="xd"/>
今すぐサーバーを列挙しますか?</translation>
    </message>
    <message>
        <source>Please wait enumerating server</source>
        <translation>サーバーを列挙しています。お待ちください</translation>
    </message>
    <message>
        <source>Please wait while finding NSF file in server</source>
        <translation>サーバー上の NSF ファイルを検索しています。お待ちください</translation>
    </message>
    <message>
        <source>There are No Domino Server NSF file(s) in the list.</source>
        <translation>一覧に Domino サーバーの NSF ファイルがありません。</translation>
    </message>
    <message>
        <source>Please select file from the list</source>
        <translation>一覧からファイルを選択してください</translation>
    </message>
    <message>
        <source>Selected File(s) are added, If you want to select file(s) from other Domino Server then click on that Domino Server Name in the list or click on Finish button to proceed with the Migration process</source>
        <translation>選択したファイルを追加しました。別の Domino サーバーのファイルを選択するには一覧でそのサーバー名をクリックし、変換を続けるには [完了] ボタンをクリックしてください</translation>
    </message>
    <message>
        <source>Are you sure you want to stop current process ?</source>
        <translation>現在の処理を停止してもよろしいですか?</translation>
    </message>
    <message>
        <source>Please wait while serching finish</source>
        <translation>検索が終わるまでお待ちください</translation>
    </message>
    <message>
        <source>These databases cannot be read and were left out:</source>
        <translation>次のデータベースは読み取れないため除外されました:</translation>
    </message>
    <message>
        <source>... and %1 more</source>
        <translation>... ほか %1 件</translation>
    </message>
    <message>
        <source>Sign in to Domino Server</source>
        <translation>Domino サーバーへのサインイン</translation>
    </message>
    <message>
        <source>The Domino server &lt;b&gt;%1&lt;/b&gt; (%2) asks for a name and password.</source>
        <translation>Domino サーバー &lt;b&gt;%1&lt;/b&gt; (%2) が名前とパスワードを求めています。</translation>
    </message>
    <message>
        <source>The server refused the name and password given last. Please check them.</source>
        <translation>サーバーは前回入力された名前とパスワードを拒否しました。確認してください。</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>名前(&amp;N):</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>パスワード(&amp;P):</translation>
    </message>
    <message>
        <source>&amp;Remember the password in the desktop&apos;s keyring</source>
        <translation>デスクトップのキーリングにパスワードを保存する(&amp;R)</translation>
    </message>
    <message>
        <source>No keyring answers on this desktop: the password is kept until the program ends.</source>
        <translation>このデスクトップにはキーリングがありません。パスワードはプログラム終了まで保持されます。</translation>
    </message>
    <message>
        <source>The certificate of the Domino server %1 (%2) is not trusted: %3.</source>
        <translation>Domino サーバー %1 (%2) の証明書は信頼されていません: %3。</translation>
    </message>
    <message>
        <source>The server&apos;s certificate is issued to %1 by this authority:</source>
        <translation>サーバーの証明書は、次の認証局によって %1 に発行されています:</translation>
    </message>
    <message>
        <source>Issued to: %1<byte value="xd"/>
Issued by: %2<byte value="xd"/>
Valid from %3 to %4<byte value="xd"/>
SHA-256 fingerprint:<byte value="xd"/>
%5</source>
        <translation>発行先: %1<byte value="xd"/>
発行者: %2<byte value="xd"/>
有効期間: %3 から %4 まで<byte value="xd"/>
SHA-256 フィンガープリント:<byte value="xd"/>
%5</translation>
    </message>
    <message>
        <source>Compare the fingerprint with the one your administrator gives. Trust this certificate for %1 from now on?</source>
        <translation>フィンガープリントが管理者から知らされたものと一致するか確認してください。今後、%1 についてこの証明書を信頼しますか?</translation>
    </message>
    <message>
        <source>The certificate of the Domino server %1 (%2) is refused: %3.</source>
        <translation>Domino サーバー %1 (%2) の証明書は拒否されました: %3。</translation>
    </message>
    <message>
        <source>Reach the server under a name its certificate gives (%1).</source>
        <translation>証明書に記載された名前 (%1) でサーバーに接続してください。</translation>
    </message>
    <message>
        <source>The certificate could not be kept: %1</source>
        <translation>証明書を保存できませんでした: %1</translation>
    </message>
    <message>
        <source>there is no certificate to trust</source>
        <translation>信頼する証明書がありません</translation>
    </message>
    <message>
        <source>%1 cannot be made</source>
        <translation>%1 を作成できません</translation>
    </message>
    <message>
        <source>the settings cannot be written</source>
        <translation>設定を書き込めません</translation>
    </message>
</context>
<context>
    <name>FolderTreeTexts</name>
    <message>
        <source>NSF File</source>
        <translation>NSF ファイル</translation>
    </message>
    <message>
        <source>  Click any folder to view Items.</source>
        <translation>  フォルダーをクリックするとアイテムを表示します。</translation>
    </message>
    <message>
        <source>From</source>
        <translation>差出人</translation>
    </message>
    <message>
        <source>Subject</source>
        <translation>件名</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日付</translation>
    </message>
    <message>
        <source>Size in Bytes</source>
        <translation>サイズ (バイト)</translation>
    </message>
    <message>
        <source>Attachment</source>
        <translation>添付</translation>
    </message>
    <message>
        <source>&amp;Save Selected</source>
        <translation>選択を保存(&amp;S)</translation>
    </message>
    <message>
        <source>Sa&amp;ve All</source>
        <translation>すべて保存(&amp;V)</translation>
    </message>
    <message>
        <source>Save selected item(s) from the list.</source>
        <translation>一覧で選択したアイテムを保存します。</translation>
    </message>
    <message>
        <source>Save All item(s) of the list.</source>
        <translation>一覧のすべてのアイテムを保存します。</translation>
    </message>
    <message>
        <source>Please wait while enumerating folders</source>
        <translation>フォルダーを列挙しています。お待ちください</translation>
    </message>
    <message>
        <source>Please select folder(s) from the left pane to export.</source>
        <translation>書き出しするフォルダーを左側の一覧から選択してください。</translation>
    </message>
    <message>
        <source>LibreOffice instance not found. LibreOffice must be configured on the system to run the export process.</source>
        <translation>LibreOffice が見つかりません。書き出しを実行するには LibreOffice をシステムに設定する必要があります。</translation>
    </message>
    <message>
        <source>No Item(s) selected from left pane to save.</source>
        <translation>保存するアイテムが左側で選択されていません。</translation>
    </message>
    <message>
        <source>Please first select item(s) from list.</source>
        <translation>先に一覧からアイテムを選択してください。</translation>
    </message>
    <message>
        <source>Are you sure you want to stop current process ?</source>
        <translation>現在の処理を停止してもよろしいですか?</translation>
    </message>
    <message>
        <source>Saving Item(s)</source>
        <translation>アイテムを保存中</translation>
    </message>
    <message>
        <source>Please wait while current process is finishes</source>
        <translation>現在の処理が終わるまでお待ちください</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>停止(&amp;T)</translation>
    </message>
    <message>
        <source>Stop current processing.</source>
        <translation>現在の処理を停止します。</translation>
    </message>
    <message>
        <source>Are you sure, you want stop the saving files ?</source>
        <translation>ファイルの保存を停止してもよろしいですか?</translation>
    </message>
    <message>
        <source>Process aborted by user</source>
        <translation>ユーザーにより処理が中止されました</translation>
    </message>
    <message>
        <source>Saving Complete</source>
        <translation>保存が完了しました</translation>
    </message>
    <message>
        <source>Text content of the item is too large to display, It will take some time to display , Are you sure , you want to see preview of this item?</source>
        <translation>このアイテムのテキストは大きいため、表示に時間がかかります。プレビューを表示してもよろしいですか?</translation>
    </message>
    <message>
        <source>Don&apos;t show this message again</source>
        <translation>今後このメッセージを表示しない</translation>
    </message>
    <message>
        <source>No Item present in folder please select another folder</source>
        <translation>このフォルダーにはアイテムがありません。別のフォルダーを選択してください</translation>
    </message>
    <message>
        <source>Please select item to see preview. <byte value="xd"/>
 Item can be Email , Journal , Task , Calendar , To Do list... </source>
        <translation>プレビューするアイテムを選択してください。<byte value="xd"/>
 アイテムはメール、日誌、タスク、カレンダー、ToDo などです... </translation>
    </message>
    <message>
        <source>Please wait while generating preview...</source>
        <translation>プレビューを作成しています。お待ちください...</translation>
    </message>
    <message>
        <source>Either User Abort preview or no body present</source>
        <translation>プレビューが中止されたか、本文がありません</translation>
    </message>
    <message>
        <source>Please wait while filling list...</source>
        <translation>一覧を作成しています。お待ちください...</translation>
    </message>
    <message>
        <source>This database has no folder to show. <byte value="xd"/>
 Its views are listed as folders when Show &quot;View Folders&quot; is ticked in Tools &gt; Advance Settings. Every document is under &quot;All Documents (every document)&quot;.</source>
        <translation>このデータベースには表示するフォルダーがありません。<byte value="xd"/>
 [ツール] &gt; [詳細設定] で「ビューフォルダーを表示」をオンにすると、ビューがフォルダーとして表示されます。すべての文書は &quot;All Documents (every document)&quot; にあります。</translation>
    </message>
    <message>
        <source>This database has no folder or view to show. Every document is under &quot;All Documents (every document)&quot;.</source>
        <translation>このデータベースには表示するフォルダーもビューもありません。すべての文書は &quot;All Documents (every document)&quot; にあります。</translation>
    </message>
</context>
<context>
    <name>SaveTexts</name>
    <message>
        <source>It is recommended to close all instances of LibreOffice while saving file(s)</source>
        <translation>保存中は LibreOffice をすべて閉じておくことをお勧めします</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>ファイル名</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状態</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>サーバー</translation>
    </message>
    <message>
        <source>Pending</source>
        <translation>待機中</translation>
    </message>
    <message>
        <source>Processing...</source>
        <translation>処理中...</translation>
    </message>
    <message>
        <source>Process Completed</source>
        <translation>処理完了</translation>
    </message>
    <message>
        <source>Saving cancelled by user</source>
        <translation>ユーザーにより保存が中止されました</translation>
    </message>
    <message>
        <source>Fail to save</source>
        <translation>保存に失敗しました</translation>
    </message>
    <message>
        <source>Nothing saved</source>
        <translation>保存なし</translation>
    </message>
    <message>
        <source>Initializing saving.. please wait...</source>
        <translation>保存を準備しています。お待ちください...</translation>
    </message>
    <message>
        <source>Initializing  saving please wait....</source>
        <translation>保存を準備しています。お待ちください....</translation>
    </message>
    <message>
        <source>Getting Folders from File : </source>
        <translation>ファイルからフォルダーを取得中: </translation>
    </message>
    <message>
        <source>Saving Folder %1 of %2 ...</source>
        <translation>フォルダー %1 / %2 を保存中...</translation>
    </message>
    <message>
        <source>Saving Item %1 of %2 ...</source>
        <translation>アイテム %1 / %2 を保存中...</translation>
    </message>
    <message>
        <source>Saving Folder </source>
        <translation>保存中のフォルダー: </translation>
    </message>
    <message>
        <source>Process aborted by user , Click Next button to convert another file or click Exit button to close the software</source>
        <translation>ユーザーにより処理が中止されました。別のファイルを変換するには [次へ]、終了するには [終了] をクリックしてください</translation>
    </message>
    <message>
        <source>Saving Complete , Click Next button to convert another file or click Exit button to close the software</source>
        <translation>保存が完了しました。別のファイルを変換するには [次へ]、終了するには [終了] をクリックしてください</translation>
    </message>
    <message>
        <source>LibreOffice is not installed or no profile exist</source>
        <translation>LibreOffice がインストールされていないか、プロファイルがありません</translation>
    </message>
    <message>
        <source>LibreOffice is not installed or no profile exist , <byte value="xd"/>
Click Next button to convert another file or click Exit button to close the software</source>
        <translation>LibreOffice がインストールされていないか、プロファイルがありません。<byte value="xd"/>
別のファイルを変換するには [次へ]、終了するには [終了] をクリックしてください</translation>
    </message>
    <message>
        <source>Process aborted by user</source>
        <translation>ユーザーにより処理が中止されました</translation>
    </message>
    <message>
        <source>Saving Complete</source>
        <translation>保存が完了しました</translation>
    </message>
    <message>
        <source>Saving Complete with Errors</source>
        <translation>保存は完了しましたがエラーがあります</translation>
    </message>
    <message>
        <source>No Document Saved</source>
        <translation>文書は保存されませんでした</translation>
    </message>
    <message>
        <source>Saving Complete with errors , Click Next button to convert another file or click Exit button to close the software</source>
        <translation>保存は完了しましたがエラーがあります。別のファイルを変換するには [次へ]、終了するには [終了] をクリックしてください</translation>
    </message>
    <message>
        <source>No document was saved , Click Next button to convert another file or click Exit button to close the software</source>
        <translation>文書は保存されませんでした。別のファイルを変換するには [次へ]、終了するには [終了] をクリックしてください</translation>
    </message>
    <message>
        <source>File %1 of %2</source>
        <translation>ファイル %1 / %2</translation>
    </message>
    <message>
        <source>&amp;Open Folder</source>
        <translation>フォルダーを開く(&amp;O)</translation>
    </message>
    <message>
        <source>Open the folder the documents were saved in</source>
        <translation>文書を保存したフォルダーを開きます</translation>
    </message>
    <message>
        <source>Are you sure you want to stop the saving process ?</source>
        <translation>保存処理を停止してもよろしいですか?</translation>
    </message>
    <message>
        <source>Are you sure you want to stop current process ?</source>
        <translation>現在の処理を停止してもよろしいですか?</translation>
    </message>
    <message>
        <source>Please wait while current process finishes</source>
        <translation>現在の処理が終わるまでお待ちください</translation>
    </message>
    <message>
        <source>Stop current processing.</source>
        <translation>現在の処理を停止します。</translation>
    </message>
    <message>
        <source>Select Destination</source>
        <translation>保存先の選択</translation>
    </message>
    <message>
        <source>Please select a location to save converted file(s)</source>
        <translation>変換したファイルの保存先を選択してください</translation>
    </message>
    <message>
        <source>Folder Path :</source>
        <translation>フォルダーのパス:</translation>
    </message>
    <message>
        <source>Select the location to save converted file(s)</source>
        <translation>変換したファイルの保存先を選択します</translation>
    </message>
    <message>
        <source>Select folder path using Browse button.</source>
        <translation>[参照] ボタンでフォルダーのパスを選択してください。</translation>
    </message>
    <message>
        <source>Please enter valid folder path.</source>
        <translation>有効なフォルダーのパスを入力してください。</translation>
    </message>
    <message>
        <source>Please select diffrent folder, as folder length is large </source>
        <translation>フォルダーのパスが長すぎます。別のフォルダーを選択してください </translation>
    </message>
    <message>
        <source>Please select diffrent file, as file name length is large </source>
        <translation>ファイル名が長すぎます。別のファイルを選択してください </translation>
    </message>
    <message>
        <source>Folder length is too large , please browse the different location to create folder. </source>
        <translation>フォルダーのパスが長すぎます。フォルダーを作成する別の場所を選択してください。</translation>
    </message>
    <message>
        <source>Folder Path:</source>
        <translation>フォルダーのパス:</translation>
    </message>
    <message>
        <source>Please provide diffrent path to save, as selected path is too long</source>
        <translation>選択したパスが長すぎます。別の保存先を指定してください</translation>
    </message>
    <message>
        <source>Saving Mode Selection</source>
        <translation>保存モードの選択</translation>
    </message>
    <message>
        <source>Please select saving mode, RTF format can take more time in saving</source>
        <translation>保存モードを選択してください。RTF 形式は保存に時間がかかります</translation>
    </message>
    <message>
        <source>Save item(s)  in Text format - Fastest Speed</source>
        <translation>テキスト形式で保存 - 最速</translation>
    </message>
    <message>
        <source>Save item(s) in RTF format - Low Quality - Medium Speed</source>
        <translation>RTF 形式で保存 - 低品質 - 中速</translation>
    </message>
    <message>
        <source>Save item(s) in RTF format - Best Quality - Lowest Speed</source>
        <translation>RTF 形式で保存 - 最高品質 - 低速</translation>
    </message>
    <message>
        <source>Advance Settings</source>
        <translation>詳細設定</translation>
    </message>
    <message>
        <source>Document format</source>
        <translation>文書の形式</translation>
    </message>
    <message>
        <source>Also embed the attachments in the PDF (PDF/A-3)</source>
        <translation>添付ファイルを PDF にも埋め込む (PDF/A-3)</translation>
    </message>
    <message>
        <source>Only items dated</source>
        <translation>次の期間のアイテムのみ</translation>
    </message>
    <message>
        <source>From</source>
        <translation>開始</translation>
    </message>
    <message>
        <source>To</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Show &quot;View Folders&quot;</source>
        <translation>「ビューフォルダー」を表示</translation>
    </message>
    <message>
        <source>Save every document of each file into &quot;All Documents (every document)&quot;</source>
        <translation>各ファイルのすべての文書を &quot;All Documents (every document)&quot; に保存する</translation>
    </message>
    <message>
        <source>Save each document once, in the first folder that holds it</source>
        <translation>各文書を 1 回だけ、最初に含まれるフォルダーに保存する</translation>
    </message>
    <message>
        <source>DOC File(s) have been saved at the following location :-</source>
        <translation>文書は次の場所に保存されました:</translation>
    </message>
    <message>
        <source>No DOC file has been saved. The output location was :-</source>
        <translation>文書は保存されませんでした。出力先は次のとおりです:</translation>
    </message>
    <message>
        <source>(this folder was not created)</source>
        <translation>(このフォルダーは作成されませんでした)</translation>
    </message>
    <message>
        <source>%1 item(s) produced no document.</source>
        <translation>%1 件のアイテムから文書が作成されませんでした。</translation>
    </message>
    <message>
        <source>%1 source(s) or folder(s) could not be saved at all.</source>
        <translation>%1 件のソースまたはフォルダーをまったく保存できませんでした。</translation>
    </message>
    <message>
        <source>Documents written: %1 of %2 item(s).</source>
        <translation>書き込んだ文書: %2 件中 %1 件。</translation>
    </message>
    <message>
        <source>%1 found, %2 written, %3 failed</source>
        <translation>検出 %1、書き込み %2、失敗 %3</translation>
    </message>
    <message>
        <source>, %1 not converted</source>
        <translation>、未変換 %1</translation>
    </message>
    <message>
        <source>Items: %1.</source>
        <translation>アイテム: %1。</translation>
    </message>
    <message>
        <source>%1 item(s) not converted: the run ended before reaching them.</source>
        <translation>%1 件のアイテムは未変換です: 処理がそこに達する前に終了しました。</translation>
    </message>
    <message>
        <source>%1 item(s) written by the office engine (the native engine cannot represent them): listed by &quot;Show Item(s)...&quot;.</source>
        <translation>%1 件のアイテムは Office エンジンで書き込まれました (ネイティブ エンジンでは表現できません): 「アイテムを表示...」に一覧されます。</translation>
    </message>
    <message>
        <source>Item(s) without a document, and item(s) written by the office engine</source>
        <translation>文書が作成されなかったアイテムと Office エンジンで書き込まれたアイテム</translation>
    </message>
    <message>
        <source>%1 source(s) not reached.</source>
        <translation>%1 件のソースに到達しませんでした。</translation>
    </message>
    <message>
        <source>Outside the date range: %1 item(s) (left out, not failed).</source>
        <translation>期間外: %1 件 (除外、失敗ではありません)。</translation>
    </message>
    <message>
        <source>not reached: the run was stopped</source>
        <translation>未到達: 処理が停止されました</translation>
    </message>
    <message>
        <source>Stopped early: %1</source>
        <translation>途中で停止: %1</translation>
    </message>
    <message>
        <source>&amp;Show Item(s)...</source>
        <translation>アイテムを表示(&amp;S)...</translation>
    </message>
    <message>
        <source>Item(s) without a document</source>
        <translation>文書が作成されなかったアイテム</translation>
    </message>
    <message>
        <source>Only items dated %1 to %2 are saved (Advance Settings).</source>
        <translation>%1 から %2 までの日付のアイテムのみ保存します (詳細設定)。</translation>
    </message>
    <message>
        <source>any date</source>
        <translation>指定なし</translation>
    </message>
    <message>
        <source>Outside the date range: %1 item(s), not saved.</source>
        <translation>期間外: %1 件、保存されていません。</translation>
    </message>
    <message>
        <source>Not in a saved folder: %1 document(s). To save them, tick &quot;All Documents (every document)&quot; in Step 2, or turn on &quot;Save every document&quot; in the Advance Settings.</source>
        <translation>保存したフォルダーにない文書: %1 件。保存するには、ステップ 2 で &quot;All Documents (every document)&quot; をオンにするか、詳細設定で「すべての文書を保存」をオンにしてください。</translation>
    </message>
    <message>
        <source>%1 of its %2 document(s) are in no saved folder; &quot;All Documents (every document)&quot; saves every document</source>
        <translation>%2 件中 %1 件の文書は保存したフォルダーにありません。&quot;All Documents (every document)&quot; ですべての文書を保存できます</translation>
    </message>
    <message>
        <source>No view or folder lists a document: every document is saved into &quot;All Documents (every document)&quot;</source>
        <translation>どのビューやフォルダーにも文書がありません。すべての文書を &quot;All Documents (every document)&quot; に保存します</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.<byte value="xd"/>
<byte value="xd"/>
Do you want to create it?</source>
        <translation>フォルダー %1 は存在しません。<byte value="xd"/>
<byte value="xd"/>
作成しますか?</translation>
    </message>
    <message>
        <source>The folder %1 cannot be created: %2</source>
        <translation>フォルダー %1 を作成できません: %2</translation>
    </message>
    <message>
        <source>The folder %1 is read-only: no document can be written into it. Please choose another folder.</source>
        <translation>フォルダー %1 は読み取り専用のため、文書を書き込めません。別のフォルダーを選択してください。</translation>
    </message>
    <message>
        <source>%1 is a file</source>
        <translation>%1 はファイルです</translation>
    </message>
    <message>
        <source>%1 is read-only</source>
        <translation>%1 は読み取り専用です</translation>
    </message>
    <message>
        <source>the folder could not be made under %1</source>
        <translation>%1 の下にフォルダーを作成できませんでした</translation>
    </message>
</context>
<context>
    <name>SourceTexts</name>
    <message>
        <source>File Path</source>
        <translation>ファイルのパス</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>サーバー</translation>
    </message>
    <message>
        <source>&amp;Add File(s)</source>
        <translation>ファイルの追加(&amp;A)</translation>
    </message>
    <message>
        <source>Add &amp;Domino File(s)</source>
        <translation>Domino ファイルの追加(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;Remove File</source>
        <translation>ファイルの削除(&amp;R)</translation>
    </message>
    <message>
        <source>Re&amp;move  All File(s)</source>
        <translation>すべてのファイルを削除(&amp;M)</translation>
    </message>
    <message>
        <source>Add NSF File(s)</source>
        <translation>NSF ファイルを追加</translation>
    </message>
    <message>
        <source>Add Domino Server NSF File(s)</source>
        <translation>Domino サーバーの NSF ファイルを追加</translation>
    </message>
    <message>
        <source>Remove Selected NSF File(s)</source>
        <translation>選択した NSF ファイルを削除</translation>
    </message>
    <message>
        <source>Remove All NSF File(s)</source>
        <translation>すべての NSF ファイルを削除</translation>
    </message>
    <message>
        <source>Select NSF File</source>
        <translation>NSF ファイルの選択</translation>
    </message>
    <message>
        <source>NSF and Notes XML files (*.nsf *.dxl);;NSF File(*.nsf);;Notes XML export (*.dxl)</source>
        <translation>NSF および Notes XML ファイル (*.nsf *.dxl);;NSF ファイル (*.nsf);;Notes XML 書き出し (*.dxl)</translation>
    </message>
    <message>
        <source> already exist in the list</source>
        <translation> は既に一覧にあります</translation>
    </message>
    <message>
        <source>You are selecting the file from network. <byte value="xd"/>
It&apos;s advisable to copy the file to local computer for better saving results </source>
        <translation>ネットワーク上のファイルを選択しています。<byte value="xd"/>
より良い結果を得るには、ファイルをローカルコンピューターにコピーすることをお勧めします</translation>
    </message>
    <message>
        <source>There are no NSF file(s) in the list to remove.</source>
        <translation>削除する NSF ファイルが一覧にありません。</translation>
    </message>
    <message>
        <source>Please select file to remove.</source>
        <translation>削除するファイルを選択してください。</translation>
    </message>
    <message>
        <source>There are no NSF file(s) in the list to see preview.</source>
        <translation>プレビューする NSF ファイルが一覧にありません。</translation>
    </message>
    <message>
        <source>Please select NSF file from list to see preview</source>
        <translation>プレビューする NSF ファイルを一覧から選択してください</translation>
    </message>
    <message>
        <source>Please enter .NSF file</source>
        <translation>.NSF ファイルを指定してください</translation>
    </message>
    <message>
        <source>Please add NSF file(s) to export.</source>
        <translation>書き出しする NSF ファイルを追加してください。</translation>
    </message>
</context>
</TS>
