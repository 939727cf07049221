<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>qavix::BankDialogRules</name>
    <message>
        <source>現在値</source>
        <translation>Current values</translation>
    </message>
</context>
<context>
    <name>qavix::BankFileDialogs</name>
    <message>
        <source>インポート</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>エクスポート</source>
        <translation>Export</translation>
    </message>
</context>
<context>
    <name>qavix::BeamCommandBar</name>
    <message>
        <source>開いたページ</source>
        <translation>Open page</translation>
    </message>
    <message>
        <source>表示CH</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>更新</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>入光光軸</source>
        <translation>Incident beams</translation>
    </message>
    <message>
        <source>遮光光軸</source>
        <translation>Blocked beams</translation>
    </message>
    <message>
        <source>クリア</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>書込み</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>指定光軸</source>
        <translation>Designated beams</translation>
    </message>
    <message>
        <source>ブランキング</source>
        <translation>Blanking</translation>
    </message>
    <message>
        <source>&#x3000;設定</source>
        <translation> setting</translation>
    </message>
    <message>
        <source>光軸設定</source>
        <translation>Beam setting</translation>
    </message>
    <message>
        <source>全CH</source>
        <translation>All CH</translation>
    </message>
    <message>
        <source>取消し</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>qavix::BeamListModel</name>
    <message>
        <source>設定</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>未設定</source>
        <translation>Not set</translation>
    </message>
    <message>
        <source>光軸番号</source>
        <translation>Beam No.</translation>
    </message>
    <message>
        <source>受光レベル</source>
        <translation>Light level</translation>
    </message>
    <message>
        <source>受光レベルグラフ</source>
        <translation>Light level graph</translation>
    </message>
</context>
<context>
    <name>qavix::CBankCopyDlg</name>
    <message>
        <source>Qavix Bank 複写 処理</source>
        <translation>Qavix Bank Copy</translation>
    </message>
    <message>
        <source>コピー元</source>
        <translation>Copy from</translation>
    </message>
    <message>
        <source>コピー先</source>
        <translation>Copy to</translation>
    </message>
    <message>
        <source>コピー方向</source>
        <translation>Copy direction</translation>
    </message>
    <message>
        <source>実行</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>取消し</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>qavix::CBankDialogBar</name>
    <message>
        <source>破棄</source>
        <translation>Discard</translation>
    </message>
    <message>
        <source>Bank編集を破棄</source>
        <translation>Discard the bank edits</translation>
    </message>
    <message>
        <source>書込み</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>Bank設定を書込み</source>
        <translation>Write the bank settings</translation>
    </message>
    <message>
        <source>消去</source>
        <translation>Erase</translation>
    </message>
    <message>
        <source>Bank設定を消去</source>
        <translation>Erase the bank settings</translation>
    </message>
    <message>
        <source>複写</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Bank設定を複写</source>
        <translation>Copy the bank settings</translation>
    </message>
</context>
<context>
    <name>qavix::CBankEditDlg</name>
    <message>
        <source>Qavix Bank 編集中です</source>
        <translation>Qavix Bank being edited</translation>
    </message>
    <message>
        <source>Bank%1が編集中です！！</source>
        <translation>Bank%1 is being edited!</translation>
    </message>
    <message>
        <source>コントローラーへ書き込む</source>
        <translation>Write to the controller</translation>
    </message>
    <message>
        <source>ファイルへ保存</source>
        <translation>Save to a file</translation>
    </message>
    <message>
        <source>破棄する</source>
        <translation>Discard</translation>
    </message>
    <message>
        <source>実行</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>取消し</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>qavix::CBankEraseDlg</name>
    <message>
        <source>Qavix Bank 消去 処理</source>
        <translation>Qavix Bank Erase</translation>
    </message>
    <message>
        <source>指定されたバンクの内容を消去します。</source>
        <translation>Erases the contents of the chosen bank.</translation>
    </message>
    <message>
        <source>消去したい Bank No. を選択し、実行ボタンを押してください。</source>
        <translation>Choose the Bank No. to erase and press Run.</translation>
    </message>
    <message>
        <source>実行</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>取消し</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>qavix::CBankExportDlg</name>
    <message>
        <source>現在の設定</source>
        <translation>Current settings</translation>
    </message>
    <message>
        <source>Bank 1 の設定</source>
        <translation>Bank 1 settings</translation>
    </message>
    <message>
        <source>Bank 2 の設定</source>
        <translation>Bank 2 settings</translation>
    </message>
    <message>
        <source>Bank 3 の設定</source>
        <translation>Bank 3 settings</translation>
    </message>
    <message>
        <source>Bank 4 の設定</source>
        <translation>Bank 4 settings</translation>
    </message>
    <message>
        <source>Qavix Bank 設定 エクスポート 処理</source>
        <translation>Qavix Bank Settings Export</translation>
    </message>
    <message>
        <source>エクスポート元</source>
        <translation>Export from</translation>
    </message>
    <message>
        <source>タイトル</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>実行</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>取消し</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>対象データが選択されていません
</source>
        <translation>No data is selected
</translation>
    </message>
</context>
<context>
    <name>qavix::CBankImportDlg</name>
    <message>
        <source>現在の設定</source>
        <translation>Current settings</translation>
    </message>
    <message>
        <source>Bank 1 の設定</source>
        <translation>Bank 1 settings</translation>
    </message>
    <message>
        <source>Bank 2 の設定</source>
        <translation>Bank 2 settings</translation>
    </message>
    <message>
        <source>Bank 3 の設定</source>
        <translation>Bank 3 settings</translation>
    </message>
    <message>
        <source>Bank 4 の設定</source>
        <translation>Bank 4 settings</translation>
    </message>
    <message>
        <source>Qavix Bank 設定 インポート 処理</source>
        <translation>Qavix Bank Settings Import</translation>
    </message>
    <message>
        <source>インポート先</source>
        <translation>Import to</translation>
    </message>
    <message>
        <source>インポートファイル</source>
        <translation>Import file</translation>
    </message>
    <message>
        <source>タイトル名</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>日付</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>ファイル名称</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>実行</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>取消し</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>参照</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>Bankﾌｧｲﾙが存在しません</source>
        <translation>There are no bank files</translation>
    </message>
    <message>
        <source>検索結果</source>
        <translation>Search result</translation>
    </message>
    <message>
        <source>インポート先に既に設定値が設定されています。
上書きしてもよろしいですか？</source>
        <translation>The import target already holds settings.
Overwrite them?</translation>
    </message>
    <message>
        <source>インポートファイルが指定されていません。
ファイルを指定して下さい。</source>
        <translation>No import file is chosen.
Please choose a file.</translation>
    </message>
</context>
<context>
    <name>qavix::CBankManager</name>
    <message>
        <source>現在値が編集中です。
「書込み」又は「取消し」を行ってください。</source>
        <translation>The current values are being edited.
Please &quot;Write&quot; or &quot;Cancel&quot; first.</translation>
    </message>
    <message>
        <source>Bank%1が編集中です。
「適用」又は「取消し」を行ってください。</source>
        <translation>Bank%1 is being edited.
Please &quot;Apply&quot; or &quot;Cancel&quot; first.</translation>
    </message>
    <message>
        <source>コントローラのデータを読み込みなおします。
今までの編集内容は破棄されます。
よろしいですか？</source>
        <translation>The controller&apos;s data is read again.
The edits made so far are discarded.
Continue?</translation>
    </message>
    <message>
        <source>Bankの設定をコントローラに書き込みます。
（変更されていない場合は書き込みを行いません。）
よろしいですか？</source>
        <translation>The bank&apos;s settings are written to the controller.
(Nothing is written when nothing was changed.)
Continue?</translation>
    </message>
    <message>
        <source>コピー先に既に設定値が設定されています。
上書きしてもよろしいですか？</source>
        <translation>The copy target already holds settings.
Overwrite them?</translation>
    </message>
    <message>
        <source>ファイルを書き込めませんでした。
%1</source>
        <translation>The file could not be written.
%1</translation>
    </message>
    <message>
        <source>コピー元に設定値が設定されていません。
コピーを中止します。</source>
        <translation>The copy source holds no settings.
The copy is cancelled.</translation>
    </message>
</context>
<context>
    <name>qavix::CBatchDlg</name>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>取消し</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>しきい値設定グラフモード一括設定</source>
        <translation>Threshold graph mode: batch setting</translation>
    </message>
    <message>
        <source> 基準しきい値 </source>
        <translation> Reference threshold </translation>
    </message>
    <message>
        <source>しきい値(&amp;P)</source>
        <translation>Threshold (&amp;P)</translation>
    </message>
    <message>
        <source>しきい値</source>
        <translation>Threshold</translation>
    </message>
    <message>
        <source>しきい値スライダー</source>
        <translation>Threshold slider</translation>
    </message>
    <message>
        <source>遮光最大感度</source>
        <translation>Blocked max. sensitivity</translation>
    </message>
    <message>
        <source>入光最大感度</source>
        <translation>Incident max. sensitivity</translation>
    </message>
    <message>
        <source>ゼロリセット</source>
        <translation>Zero reset</translation>
    </message>
    <message>
        <source>書込み</source>
        <translation>Write</translation>
    </message>
</context>
<context>
    <name>qavix::CBrkCommand</name>
    <message>
        <source>表示光軸数</source>
        <translation>Beams shown</translation>
    </message>
    <message>
        <source>比率</source>
        <translation>Ratio</translation>
    </message>
    <message>
        <source>絶対値</source>
        <translation>Absolute</translation>
    </message>
    <message>
        <source>スケール</source>
        <translation>Scale</translation>
    </message>
    <message>
        <source>凡例</source>
        <translation>Legend</translation>
    </message>
</context>
<context>
    <name>qavix::CChartWnd</name>
    <message>
        <source>受光レベルグラフ</source>
        <translation>Light level graph</translation>
    </message>
    <message>
        <source>光軸スクロール</source>
        <translation>Beam scroll</translation>
    </message>
</context>
<context>
    <name>qavix::CCommandDlg</name>
    <message>
        <source>個別設定</source>
        <translation>Individual</translation>
    </message>
    <message>
        <source>取消し</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>qavix::CGraphCommandBar</name>
    <message>
        <source>表示CH</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>全CH</source>
        <translation>All CH</translation>
    </message>
    <message>
        <source>表示光軸数</source>
        <translation>Beams shown</translation>
    </message>
    <message>
        <source>比率</source>
        <translation>Ratio</translation>
    </message>
    <message>
        <source>絶対値</source>
        <translation>Absolute</translation>
    </message>
    <message>
        <source>スケール</source>
        <translation>Scale</translation>
    </message>
    <message>
        <source>連続更新</source>
        <translation>Continuous</translation>
    </message>
    <message>
        <source>更新</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>個別設定</source>
        <translation>Individual</translation>
    </message>
    <message>
        <source>感度設定</source>
        <translation>Sensitivity</translation>
    </message>
    <message>
        <source>一括設定</source>
        <translation>Batch</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>画像保存</source>
        <translation>Save image</translation>
    </message>
    <message>
        <source>凡例</source>
        <translation>Legend</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
</context>
<context>
    <name>qavix::CInfoDialogBar</name>
    <message>
        <source>インフォメーション</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>光軸数</source>
        <translation>Beams</translation>
    </message>
    <message>
        <source>ピッチ</source>
        <translation>Pitch</translation>
    </message>
    <message>
        <source>表示中</source>
        <translation>Shown</translation>
    </message>
</context>
<context>
    <name>qavix::CInitialReadDlg</name>
    <message>
        <source>進行状況</source>
        <translation>Progress</translation>
    </message>
</context>
<context>
    <name>qavix::CLeftPaneView</name>
    <message>
        <source>ナビゲーション</source>
        <translation>Navigation</translation>
    </message>
    <message>
        <source>計測処理</source>
        <translation>Measurement</translation>
    </message>
</context>
<context>
    <name>qavix::CLegendDlg</name>
    <message>
        <source>入光</source>
        <translation>Incident</translation>
    </message>
    <message>
        <source>不安定状態</source>
        <translation>Unstable</translation>
    </message>
    <message>
        <source>遮光</source>
        <translation>Blocked</translation>
    </message>
    <message>
        <source>ブランキング光軸</source>
        <translation>Blanking beams</translation>
    </message>
    <message>
        <source>ONスレッシュ</source>
        <translation>ON threshold</translation>
    </message>
    <message>
        <source>OFFスレッシュ</source>
        <translation>OFF threshold</translation>
    </message>
    <message>
        <source>凡例</source>
        <translation>Legend</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>qavix::CLevelListBar</name>
    <message>
        <source>更新</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>連続更新</source>
        <translation>Continuous</translation>
    </message>
    <message>
        <source>表示CH(&amp;C)</source>
        <translation>&amp;Channel</translation>
    </message>
    <message>
        <source>表示CH</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>全CH</source>
        <translation>All CH</translation>
    </message>
    <message>
        <source>書込み</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>取消し</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
</context>
<context>
    <name>qavix::CLevelListTable</name>
    <message>
        <source>受光レベルリスト</source>
        <translation>Light level list</translation>
    </message>
    <message>
        <source>光軸番号</source>
        <translation>Beam No.</translation>
    </message>
    <message>
        <source>受光レベル</source>
        <translation>Light level</translation>
    </message>
    <message>
        <source>ONしきい値</source>
        <translation>ON threshold</translation>
    </message>
    <message>
        <source>OFFしきい値</source>
        <translation>OFF threshold</translation>
    </message>
    <message>
        <source>受光レベルグラフ</source>
        <translation>Light level graph</translation>
    </message>
</context>
<context>
    <name>qavix::CListDlg</name>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
</context>
<context>
    <name>qavix::CMonitor</name>
    <message>
        <source>クリア</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>表示CH</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>表示光軸数</source>
        <translation>Beams shown</translation>
    </message>
    <message>
        <source>表示サンプル数</source>
        <translation>Samples shown</translation>
    </message>
    <message>
        <source>ｻﾝﾌﾟﾘﾝｸﾞTIME</source>
        <translation>Sampling time</translation>
    </message>
    <message>
        <source>全CH</source>
        <translation>All CH</translation>
    </message>
</context>
<context>
    <name>qavix::CNaviView</name>
    <message>
        <source>製品のホームページ</source>
        <translation>Product home page</translation>
    </message>
    <message>
        <source>製品情報</source>
        <translation>Product information</translation>
    </message>
    <message>
        <source>ホームページ</source>
        <translation>Home page</translation>
    </message>
</context>
<context>
    <name>qavix::CProgressDlg</name>
    <message>
        <source>進行状況</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>データ読込み中

しばらくお待ちください</source>
        <translation>Reading data

Please wait</translation>
    </message>
    <message>
        <source>データ書込み中

しばらくお待ちください</source>
        <translation>Writing data

Please wait</translation>
    </message>
</context>
<context>
    <name>qavix::CQavixApp</name>
    <message>
        <source>バンクファイルの編集中は、ほかのコントローラを開けません。</source>
        <translation>No other controller can be opened while a bank file is being edited.</translation>
    </message>
    <message>
        <source>通信中、モニタ中、または編集中です。終わってから、もう一度開いてください。</source>
        <translation>Communicating, monitoring or editing. Open it again when that has finished.</translation>
    </message>
    <message>
        <source>コントローラが応答しません。</source>
        <translation>The controller does not answer.</translation>
    </message>
    <message>
        <source>変更の理由</source>
        <translation>Reason for the change</translation>
    </message>
    <message>
        <source>%1
この変更の理由を入力して下さい（変更履歴に記録されます）。</source>
        <translation>%1
Enter the reason for this change (it is recorded in the change journal).</translation>
    </message>
</context>
<context>
    <name>qavix::CSelectDlg</name>
    <message>
        <source>コントローラ情報</source>
        <translation>Controller information</translation>
    </message>
    <message>
        <source>センサCH1情報</source>
        <translation>Sensor CH1 information</translation>
    </message>
    <message>
        <source>センサCH2情報</source>
        <translation>Sensor CH2 information</translation>
    </message>
    <message>
        <source>センサCH3情報</source>
        <translation>Sensor CH3 information</translation>
    </message>
    <message>
        <source>操作</source>
        <translation>Actions</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>印刷</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>設定一覧をテキストファイルに保存</source>
        <translation>Save the settings list as a text file</translation>
    </message>
    <message>
        <source>印刷プレビュー</source>
        <translation>Print preview</translation>
    </message>
    <message>
        <source>表示設定</source>
        <translation>Display</translation>
    </message>
</context>
<context>
    <name>qavix::CSplashDlg</name>
    <message>
        <source>エリアスキャナ設定・モニタツール</source>
        <translation>Area scanner configuration and monitoring tool</translation>
    </message>
</context>
<context>
    <name>qavix::CThresholdTuning</name>
    <message>
        <source>次の光軸はゼロ点レベルが0のため、比率でしきい値を設定できません。これらの光軸のしきい値は変更しません。
</source>
        <translation>The zero-point level of the following beams is 0, so their thresholds cannot be set as a ratio. Their thresholds are left unchanged.
</translation>
    </message>
</context>
<context>
    <name>qavix::CToolDialogBar</name>
    <message>
        <source>インポート</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>バンクファイル (*.qbk) を読み込み、バンクに書き込みます (Ctrl+O)</source>
        <translation>Reads a bank file (*.qbk) and writes it to a bank (Ctrl+O)</translation>
    </message>
    <message>
        <source>エクスポート</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>現在値またはバンクをバンクファイル (*.qbk) に保存します (Ctrl+S)</source>
        <translation>Saves the current values or a bank to a bank file (*.qbk) (Ctrl+S)</translation>
    </message>
    <message>
        <source>複写</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>選択した文字をクリップボードにコピーします (Ctrl+C)</source>
        <translation>Copies the selected text to the clipboard (Ctrl+C)</translation>
    </message>
    <message>
        <source>貼り付け</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>クリップボードの文字を入力欄に貼り付けます (Ctrl+V)</source>
        <translation>Pastes the clipboard text into the field (Ctrl+V)</translation>
    </message>
    <message>
        <source>印刷</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>設定一覧を印刷します (Ctrl+P)</source>
        <translation>Prints the settings list (Ctrl+P)</translation>
    </message>
</context>
<context>
    <name>qavix::CView004</name>
    <message>
        <source>サンプル数：%1&#x3000;周回：%2</source>
        <translation>Samples: %1  Rounds: %2</translation>
    </message>
    <message>
        <source>&#x3000;実測間隔：%1ms&#x3000;読込み時間：%2ms</source>
        <translation>  Measured interval: %1 ms  Read time: %2 ms</translation>
    </message>
</context>
<context>
    <name>qavix::CView005</name>
    <message>
        <source>設定一覧</source>
        <translation>Settings list</translation>
    </message>
    <message>
        <source>印刷できません
%1</source>
        <translation>Cannot print
%1</translation>
    </message>
    <message>
        <source>印刷プレビュー - 設定一覧</source>
        <translation>Print preview - Settings list</translation>
    </message>
</context>
<context>
    <name>qavix::CView006</name>
    <message>
        <source>日付</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>エラーNo.</source>
        <translation>Error No.</translation>
    </message>
    <message>
        <source>エラ－内容</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>発生シリアルNo.</source>
        <translation>Serial No. at error</translation>
    </message>
    <message>
        <source>エラーログ</source>
        <translation>Error log</translation>
    </message>
</context>
<context>
    <name>qavix::CView007</name>
    <message>
        <source>光軸選択グラフ</source>
        <translation>Beam selection graph</translation>
    </message>
    <message>
        <source>指定光軸</source>
        <translation>Designated beams</translation>
    </message>
    <message>
        <source>ブランキング光軸</source>
        <translation>Blanking beams</translation>
    </message>
</context>
<context>
    <name>qavix::CView008</name>
    <message>
        <source>P-I/O割付け</source>
        <translation>P-I/O assignment</translation>
    </message>
    <message>
        <source>ポート</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>出力</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>入光判定/遮光判定</source>
        <translation>Incident/blocked judgement</translation>
    </message>
    <message>
        <source>反転</source>
        <translation>Invert</translation>
    </message>
</context>
<context>
    <name>qavix::CView009</name>
    <message>
        <source>総合</source>
        <translation>Overall</translation>
    </message>
    <message>
        <source>センサ配置設定</source>
        <translation>Sensor arrangement</translation>
    </message>
    <message>
        <source>センサ一括処理</source>
        <translation>All sensors together</translation>
    </message>
    <message>
        <source>センサ個別処理</source>
        <translation>Each sensor separately</translation>
    </message>
    <message>
        <source>無効</source>
        <translation>Disabled</translation>
    </message>
    <message>
        <source>有効</source>
        <translation>Enabled</translation>
    </message>
    <message>
        <source>ブランキング光軸設定</source>
        <translation>Blanking beam setting</translation>
    </message>
    <message>
        <source>遮光判定光軸数</source>
        <translation>Beams for blocked judgement</translation>
    </message>
    <message>
        <source>入光判定光軸数</source>
        <translation>Beams for incident judgement</translation>
    </message>
    <message>
        <source>FIXブランキング機能</source>
        <translation>FIX blanking function</translation>
    </message>
    <message>
        <source>%1 遮光判定光軸数</source>
        <translation>%1 beams for blocked judgement</translation>
    </message>
    <message>
        <source>%1 入光判定光軸数</source>
        <translation>%1 beams for incident judgement</translation>
    </message>
    <message>
        <source>%1 FIXブランキング機能</source>
        <translation>%1 FIX blanking function</translation>
    </message>
    <message>
        <source>%1 ブランキング光軸設定</source>
        <translation>%1 blanking beam setting</translation>
    </message>
</context>
<context>
    <name>qavix::CView010</name>
    <message>
        <source>センサ配置設定</source>
        <translation>Sensor arrangement</translation>
    </message>
    <message>
        <source>出力１</source>
        <translation>Output 1</translation>
    </message>
    <message>
        <source>出力２</source>
        <translation>Output 2</translation>
    </message>
    <message>
        <source> 出力１</source>
        <translation> output 1</translation>
    </message>
    <message>
        <source> 出力２</source>
        <translation> output 2</translation>
    </message>
    <message>
        <source>対象センサ</source>
        <translation>Target sensor</translation>
    </message>
    <message>
        <source>判定モード</source>
        <translation>Judgement mode</translation>
    </message>
    <message>
        <source>光軸状態</source>
        <translation>Beam state</translation>
    </message>
    <message>
        <source>出力フォーマット</source>
        <translation>Output format</translation>
    </message>
</context>
<context>
    <name>qavix::CView011</name>
    <message>
        <source>グループ</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>下位</source>
        <translation>Lower end</translation>
    </message>
    <message>
        <source>上位</source>
        <translation>Upper end</translation>
    </message>
    <message>
        <source>グループ判定</source>
        <translation>Group judgement</translation>
    </message>
    <message>
        <source>ＣＨ</source>
        <translation>CH</translation>
    </message>
    <message>
        <source>光軸No.</source>
        <translation>Beam No.</translation>
    </message>
</context>
<context>
    <name>qavix::CView012</name>
    <message>
        <source>計測処理</source>
        <translation>Measurement</translation>
    </message>
    <message>
        <source>コントローラ読込みできません</source>
        <translation>Cannot read the controller</translation>
    </message>
</context>
<context>
    <name>qavix::CView013</name>
    <message>
        <source>パソコン時計時間</source>
        <translation>Computer clock</translation>
    </message>
    <message>
        <source>RQ5M時計時間</source>
        <translation>RQ5M clock</translation>
    </message>
    <message>
        <source>同期</source>
        <translation>Synchronise</translation>
    </message>
</context>
<context>
    <name>qavix::CView016</name>
    <message>
        <source>有効</source>
        <translation>Enabled</translation>
    </message>
    <message>
        <source>無効</source>
        <translation>Disabled</translation>
    </message>
    <message>
        <source>形式</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>シリアルNo. 投光器</source>
        <translation>Serial No. emitter</translation>
    </message>
    <message>
        <source>シリアルNo. 受光器</source>
        <translation>Serial No. receiver</translation>
    </message>
    <message>
        <source>ＩＤ</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>OUT2出力設定</source>
        <translation>OUT2 output</translation>
    </message>
    <message>
        <source>OUT3出力設定</source>
        <translation>OUT3 output</translation>
    </message>
    <message>
        <source>光軸指定</source>
        <translation>Designate beams</translation>
    </message>
    <message>
        <source>しきい値</source>
        <translation>Threshold</translation>
    </message>
    <message>
        <source>ＯＮ</source>
        <translation>ON</translation>
    </message>
    <message>
        <source>ＯＦＦ</source>
        <translation>OFF</translation>
    </message>
    <message>
        <source>Ｆｌｏａｔｉｎｇ&#x3000;Ｂｌａｎｋｉｎｇ&#x3000;機能</source>
        <translation>Floating blanking function</translation>
    </message>
    <message>
        <source>動作モード</source>
        <translation>Operation mode</translation>
    </message>
    <message>
        <source>連続</source>
        <translation>Continuous</translation>
    </message>
    <message>
        <source>非連続</source>
        <translation>Non-continuous</translation>
    </message>
    <message>
        <source>光軸数</source>
        <translation>Beams</translation>
    </message>
    <message>
        <source>Ｆｉｘ&#x3000;Ｂｌａｎｋｉｎｇ&#x3000;設定</source>
        <translation>Fix blanking setting</translation>
    </message>
    <message>
        <source>光軸設定</source>
        <translation>Beam setting</translation>
    </message>
    <message>
        <source>ﾃﾞﾌｫﾙﾄ</source>
        <translation>Default</translation>
    </message>
</context>
<context>
    <name>qavix::CView017</name>
    <message>
        <source>光軸一覧</source>
        <translation>Beam list</translation>
    </message>
</context>
<context>
    <name>qavix::ChartAccessible</name>
    <message>
        <source>%1 〜 %2 / %3%4</source>
        <translation>%1 to %2 / %3%4</translation>
    </message>
</context>
<context>
    <name>qavix::CommSettingsDialog</name>
    <message>
        <source>接続</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>未接続</source>
        <translation>Not connected</translation>
    </message>
    <message>
        <source>終了しますか？
（ＯＫでQavixを終了します）
</source>
        <translation>Quit?
(OK quits Qavix)
</translation>
    </message>
    <message>
        <source>通信設定</source>
        <translation>Communication settings</translation>
    </message>
    <message>
        <source>環境変数 QAVLINK_COM%1: %2</source>
        <translation>Environment variable QAVLINK_COM%1: %2</translation>
    </message>
    <message>
        <source>ネットワーク（%1）</source>
        <translation>Network (%1)</translation>
    </message>
    <message>
        <source>（デバイスなし）</source>
        <translation>(no device)</translation>
    </message>
    <message>
        <source>通信ポート %1 の接続先: %2</source>
        <translation>Target of port %1: %2</translation>
    </message>
</context>
<context>
    <name>qavix::CommSettingsForm</name>
    <message>
        <source>接続先デバイス(&amp;D):</source>
        <translation>&amp;Device:</translation>
    </message>
    <message>
        <source>選んだポートが開くシリアルデバイス（Qavix.ini の [Ports] に保存）</source>
        <translation>The serial device the chosen port opens (saved in [Ports] of Qavix.ini)</translation>
    </message>
    <message>
        <source>再検索</source>
        <translation>Search again</translation>
    </message>
    <message>
        <source>USB アダプタなどを接続した後、デバイスを探し直します</source>
        <translation>Looks for devices again, after plugging in a USB adapter for example</translation>
    </message>
    <message>
        <source>デバイスサーバーのホスト名または IP アドレス（IPv6 は [ ] で囲む）</source>
        <translation>The device server&apos;s host name or IP address (IPv6 in [ ])</translation>
    </message>
    <message>
        <source>デバイスサーバーの TCP ポート番号（1〜65535）</source>
        <translation>The device server&apos;s TCP port number (1 to 65535)</translation>
    </message>
    <message>
        <source>TCP（そのまま）</source>
        <translation>TCP (raw)</translation>
    </message>
    <message>
        <source>TCP: 通信条件はデバイスサーバー側の設定のまま
RFC 2217: 通信速度などをこのポートの設定でデバイスサーバーに設定します</source>
        <translation>TCP: the line settings stay as the device server has them
RFC 2217: this port&apos;s speed and line settings are set on the device server</translation>
    </message>
    <message>
        <source>ホスト(&amp;H):</source>
        <translation>&amp;Host:</translation>
    </message>
    <message>
        <source>ポート(&amp;N):</source>
        <translation>Port (&amp;N):</translation>
    </message>
    <message>
        <source>プロトコル(&amp;R):</source>
        <translation>P&amp;rotocol:</translation>
    </message>
    <message>
        <source>通信ポート</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>号機番号</source>
        <translation>Unit number</translation>
    </message>
    <message>
        <source>通信速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>データビット長</source>
        <translation>Data bits</translation>
    </message>
    <message>
        <source>パリティ</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>無し</source>
        <translation>None</translation>
    </message>
    <message>
        <source>偶数</source>
        <translation>Even</translation>
    </message>
    <message>
        <source>ストップビット</source>
        <translation>Stop bits</translation>
    </message>
    <message>
        <source>通信テスト</source>
        <translation>Test</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消し</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>qavix::CommandTable</name>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>設定(&amp;S)</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>上書き保存(&amp;W)</source>
        <translation>Save (&amp;W)</translation>
    </message>
    <message>
        <source>インポート(&amp;O)...</source>
        <translation>Imp&amp;ort...</translation>
    </message>
    <message>
        <source>エクスポート(&amp;S)</source>
        <translation>Export (&amp;S)</translation>
    </message>
    <message>
        <source>印刷(&amp;P)...</source>
        <translation>&amp;Print...</translation>
    </message>
    <message>
        <source>印刷ﾌﾟﾚﾋﾞｭｰ(&amp;V)</source>
        <translation>Print Pre&amp;view</translation>
    </message>
    <message>
        <source>ｱﾌﾟﾘｹｰｼｮﾝの終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>ｺﾋﾟｰ(&amp;P) Ctrl + C</source>
        <translation>Co&amp;py Ctrl + C</translation>
    </message>
    <message>
        <source>貼り付け Ctrl + P</source>
        <translation>Paste Ctrl + P</translation>
    </message>
    <message>
        <source>Bank編集破棄</source>
        <translation>Discard Bank Edits</translation>
    </message>
    <message>
        <source>Bank書込み</source>
        <translation>Write Bank</translation>
    </message>
    <message>
        <source>Bank消去</source>
        <translation>Erase Bank</translation>
    </message>
    <message>
        <source>Bankｺﾋﾟｰ</source>
        <translation>Copy Bank</translation>
    </message>
    <message>
        <source>通信設定(&amp;C)</source>
        <translation>&amp;Communication Settings</translation>
    </message>
    <message>
        <source>環境設定(&amp;G)</source>
        <translation>Environment Settin&amp;gs</translation>
    </message>
    <message>
        <source>ﾂｰﾙ ﾊﾞｰ(&amp;T)</source>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <source>Bank ﾊﾞｰ(&amp;B)</source>
        <translation>&amp;Bank Bar</translation>
    </message>
    <message>
        <source>ﾀﾞｲｱﾛｸﾞﾊﾞｰ(&amp;D)</source>
        <translation>&amp;Dialog Bar</translation>
    </message>
    <message>
        <source>ｽﾃｰﾀｽ ﾊﾞｰ(&amp;S)</source>
        <translation>&amp;Status Bar</translation>
    </message>
    <message>
        <source>ヘルプ</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>ユーザーズマニュアル(&amp;U)</source>
        <translation>&amp;User&apos;s Manual</translation>
    </message>
    <message>
        <source>ﾊﾞｰｼﾞｮﾝ情報(&amp;A)...</source>
        <translation>&amp;About Qavix...</translation>
    </message>
    <message>
        <source>プラント表示(&amp;L)...</source>
        <translation>P&amp;lant View...</translation>
    </message>
    <message>
        <source>変更履歴(&amp;J)...</source>
        <translation>Change &amp;Journal...</translation>
    </message>
</context>
<context>
    <name>qavix::DialogBar</name>
    <message>
        <source>ツールバーの続き</source>
        <translation>More of the toolbar</translation>
    </message>
</context>
<context>
    <name>qavix::EnvironmentDialog</name>
    <message>
        <source>動作</source>
        <translation>Operation</translation>
    </message>
    <message>
        <source>色</source>
        <translation>Colours</translation>
    </message>
    <message>
        <source>その他</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>環境設定</source>
        <translation>Environment settings</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消し</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>初期値</source>
        <translation>Defaults</translation>
    </message>
    <message>
        <source>自動（ロケールに従う）</source>
        <translation>Automatic (as the locale)</translation>
    </message>
    <message>
        <source>言語(&amp;L):</source>
        <translation>&amp;Language:</translation>
    </message>
    <message>
        <source>言語</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>次回の起動から有効になります</source>
        <translation>Takes effect on the next start</translation>
    </message>
    <message>
        <source>プラント</source>
        <translation>Plant</translation>
    </message>
</context>
<context>
    <name>qavix::HelpLauncher</name>
    <message>
        <source>ブラウザでマニュアルを開けませんでした。
%1</source>
        <translation>The manual could not be opened in a browser.
%1</translation>
    </message>
    <message>
        <source>Qavixのバージョン情報</source>
        <translation>About Qavix</translation>
    </message>
    <message>
        <source>Qavix Version %1

エリアスキャナ設定・モニタツール</source>
        <translation>Qavix Version %1

Area scanner configuration and monitoring tool</translation>
    </message>
</context>
<context>
    <name>qavix::JournalWindow</name>
    <message>
        <source>未完了</source>
        <translation>Unfinished</translation>
    </message>
    <message>
        <source>完了</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>拒否</source>
        <translation>Refused</translation>
    </message>
    <message>
        <source>途中で失敗</source>
        <translation>Failed partway</translation>
    </message>
    <message>
        <source>現在値</source>
        <translation>Current values</translation>
    </message>
    <message>
        <source>Bank%1</source>
        <translation>Bank%1</translation>
    </message>
    <message>
        <source>ページ書込み</source>
        <translation>Page write</translation>
    </message>
    <message>
        <source>Bank書込み</source>
        <translation>Bank write</translation>
    </message>
    <message>
        <source>Bankコピー</source>
        <translation>Bank copy</translation>
    </message>
    <message>
        <source>Bank消去</source>
        <translation>Bank erase</translation>
    </message>
    <message>
        <source>インポート</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>時計設定</source>
        <translation>Clock setting</translation>
    </message>
    <message>
        <source>ゼロリセット</source>
        <translation>Zero reset</translation>
    </message>
    <message>
        <source>ティーチング</source>
        <translation>Teaching</translation>
    </message>
    <message>
        <source>しきい値一括設定</source>
        <translation>Batch threshold setting</translation>
    </message>
    <message>
        <source>リセット</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>バックアップからの復元</source>
        <translation>Restore from a backup</translation>
    </message>
    <message>
        <source>変更履歴</source>
        <translation>Change journal</translation>
    </message>
    <message>
        <source>変更履歴のフォルダ: %1</source>
        <translation>Change journal folder: %1</translation>
    </message>
    <message>
        <source>ユーザー</source>
        <translation>User</translation>
    </message>
    <message>
        <source>この日から</source>
        <translation>From this day</translation>
    </message>
    <message>
        <source>更新</source>
        <translation>Reload</translation>
    </message>
    <message>
        <source>日時</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>操作</source>
        <translation>Operation</translation>
    </message>
    <message>
        <source>対象</source>
        <translation>Target</translation>
    </message>
    <message>
        <source>結果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>ホスト</source>
        <translation>Host</translation>
    </message>
    <message>
        <source>理由</source>
        <translation>Reason</translation>
    </message>
    <message>
        <source>項目</source>
        <translation>Item</translation>
    </message>
    <message>
        <source>変更前</source>
        <translation>Before</translation>
    </message>
    <message>
        <source>変更後</source>
        <translation>After</translation>
    </message>
    <message>
        <source>変更した項目</source>
        <translation>Changed items</translation>
    </message>
    <message>
        <source>CSV保存...</source>
        <translation>Save CSV...</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>すべて</source>
        <translation>All</translation>
    </message>
    <message numerus="yes">
        <source>%n 件</source>
        <translation>
            <numerusform>%n write</numerusform>
            <numerusform>%n writes</numerusform>
        </translation>
    </message>
    <message>
        <source>変更履歴を読めません: %1</source>
        <translation>Cannot read the change journal: %1</translation>
    </message>
    <message>
        <source>（記録として読めない行が %1 行あります）</source>
        <translation> (%1 lines cannot be read as records)</translation>
    </message>
    <message>
        <source>%1@%2, %3 %4, %5 号機 %6</source>
        <translation>%1@%2, %3 %4, %5 unit %6</translation>
    </message>
    <message>
        <source>コントローラ: %1 %2, ID %3, シリアルNo. %4</source>
        <translation>Controller: %1 %2, ID %3, serial No. %4</translation>
    </message>
    <message>
        <source>設定フィンガープリント: %1 -&gt; %2</source>
        <translation>Settings fingerprint: %1 -&gt; %2</translation>
    </message>
    <message>
        <source>変更履歴の保存</source>
        <translation>Save the change journal</translation>
    </message>
</context>
<context>
    <name>qavix::LevelGraphFiles</name>
    <message>
        <source>PNG 画像 (.png) (*.png)</source>
        <translation>PNG image (.png) (*.png)</translation>
    </message>
    <message>
        <source>名前を付けて保存</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>%1 は既に存在します。
上書きしますか?</source>
        <translation>%1 already exists.
Replace it?</translation>
    </message>
</context>
<context>
    <name>qavix::LevelListDelegate</name>
    <message>
        <source>ONしきい値</source>
        <translation>ON threshold</translation>
    </message>
    <message>
        <source>OFFしきい値</source>
        <translation>OFF threshold</translation>
    </message>
</context>
<context>
    <name>qavix::ManualLocation</name>
    <message>
        <source>ユーザーズマニュアルが見つかりません。
次の場所を探しました:
</source>
        <translation>The user&apos;s manual is not found.
These places were searched:
</translation>
    </message>
</context>
<context>
    <name>qavix::OfflineEditSession</name>
    <message>
        <source>%1[*] - Qavix オフライン編集</source>
        <translation>%1[*] - Qavix offline editing</translation>
    </message>
    <message>
        <source>%1 を保存できませんでした。
%2</source>
        <translation>%1 could not be saved.
%2</translation>
    </message>
    <message>
        <source>%1 は変更されています。
保存しますか？</source>
        <translation>%1 has been changed.
Save it?</translation>
    </message>
</context>
<context>
    <name>qavix::PaperSetupDialog</name>
    <message>
        <source>プリンタの設定</source>
        <translation>Printer setup</translation>
    </message>
    <message>
        <source>縦</source>
        <translation>Portrait</translation>
    </message>
    <message>
        <source>横</source>
        <translation>Landscape</translation>
    </message>
    <message>
        <source>用紙サイズ(&amp;Z):</source>
        <translation>Paper si&amp;ze:</translation>
    </message>
    <message>
        <source>印刷の向き(&amp;O):</source>
        <translation>&amp;Orientation:</translation>
    </message>
</context>
<context>
    <name>qavix::PlantLauncher</name>
    <message>
        <source>このプログラムからはコントローラを開けません。</source>
        <translation>Controllers cannot be opened from this program.</translation>
    </message>
</context>
<context>
    <name>qavix::PlantSettingsPage</name>
    <message>
        <source>ブローカー URL(&amp;U):</source>
        <translation>Broker &amp;URL:</translation>
    </message>
    <message>
        <source>CA ファイル(&amp;C):</source>
        <translation>&amp;CA file:</translation>
    </message>
    <message>
        <source>ユーザー名(&amp;N):</source>
        <translation>User &amp;name:</translation>
    </message>
    <message>
        <source>パスワードファイル(&amp;W):</source>
        <translation>Pass&amp;word file:</translation>
    </message>
    <message>
        <source>トピックルート(&amp;T):</source>
        <translation>&amp;Topic root:</translation>
    </message>
    <message>
        <source>音でも知らせる(&amp;S)</source>
        <translation>Also alert with a &amp;sound</translation>
    </message>
    <message>
        <source>パスワードは保存しません。1 行目にパスワードを書いたファイルを指定してください。</source>
        <translation>The password is never stored. Name a file whose first line holds the password.</translation>
    </message>
    <message>
        <source>参照...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>参照</source>
        <translation>Browse</translation>
    </message>
</context>
<context>
    <name>qavix::PlantTableModel</name>
    <message>
        <source>状態</source>
        <translation>State</translation>
    </message>
    <message>
        <source>名前</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>回線</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>コントローラ</source>
        <translation>Controller</translation>
    </message>
    <message>
        <source>CH1 マージン</source>
        <translation>CH1 margin</translation>
    </message>
    <message>
        <source>CH2 マージン</source>
        <translation>CH2 margin</translation>
    </message>
    <message>
        <source>CH3 マージン</source>
        <translation>CH3 margin</translation>
    </message>
    <message>
        <source>最終アラート</source>
        <translation>Last alert</translation>
    </message>
    <message>
        <source>最新エラー履歴</source>
        <translation>Newest error log entry</translation>
    </message>
    <message>
        <source>最終受信</source>
        <translation>Last seen</translation>
    </message>
    <message>
        <source>フィンガープリント</source>
        <translation>Fingerprint</translation>
    </message>
    <message>
        <source>ポート</source>
        <translation>Port</translation>
    </message>
</context>
<context>
    <name>qavix::PlantWindow</name>
    <message>
        <source>コントローラ一覧</source>
        <translation>Controllers</translation>
    </message>
    <message>
        <source>問題のみ(&amp;P)</source>
        <translation>&amp;Problems only</translation>
    </message>
    <message>
        <source>検索(&amp;F):</source>
        <translation>&amp;Find:</translation>
    </message>
    <message>
        <source>検索</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>開く(&amp;O)</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>確認済みにする(&amp;A)</source>
        <translation>&amp;Acknowledge</translation>
    </message>
    <message>
        <source>すべて確認済み(&amp;L)</source>
        <translation>Acknowledge A&amp;ll</translation>
    </message>
    <message>
        <source>プラント表示</source>
        <translation>Plant view</translation>
    </message>
    <message>
        <source>読めないメッセージ %1 件 (最後: %2)</source>
        <translation>Unreadable messages: %1 (last: %2)</translation>
    </message>
    <message>
        <source>%1 がオフラインになりました</source>
        <translation>%1 went offline</translation>
    </message>
    <message>
        <source>%1: マージン低下</source>
        <translation>%1: margin low</translation>
    </message>
    <message>
        <source>%1: 新しいエラー履歴</source>
        <translation>%1: new error log entry</translation>
    </message>
</context>
<context>
    <name>qavix::PropertyList</name>
    <message>
        <source>色の選択</source>
        <translation>Choose colour</translation>
    </message>
</context>
<context>
    <name>qavix::QtCommHost</name>
    <message>
        <source>Qavix を同じ引数と作業フォルダで起動し直します</source>
        <translation>Starts Qavix again with the same arguments and working folder</translation>
    </message>
    <message>
        <source>再接続</source>
        <translation>Reconnect</translation>
    </message>
</context>
<context>
    <name>qavix::ReportPrinter</name>
    <message>
        <source>設定一覧</source>
        <translation>Settings list</translation>
    </message>
</context>
<context>
    <name>qavix::SaveFileDialog</name>
    <message>
        <source>名前を付けて保存</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>ファイルの保存</source>
        <translation>Save File</translation>
    </message>
    <message>
        <source>Csv ファイル形式 (.csv) (*.csv)</source>
        <translation>CSV file (.csv) (*.csv)</translation>
    </message>
</context>
<context>
    <name>qavix::ScanChart</name>
    <message>
        <source>スキャンモニタ</source>
        <translation>Scan monitor</translation>
    </message>
    <message>
        <source>光軸：CH%1-%2 サンプル：%3</source>
        <translation>Beam: CH%1-%2 Sample: %3</translation>
    </message>
</context>
<context>
    <name>qavix::StatusPaneView</name>
    <message>
        <source>ﾚﾃﾞｨ</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>デバイスなし（ダブルクリックで通信設定）</source>
        <translation>No device (double-click for the communication settings)</translation>
    </message>
    <message>
        <source>%1
（ダブルクリックで通信設定）</source>
        <translation>%1
(double-click for the communication settings)</translation>
    </message>
    <message>
        <source>設定フィンガープリント: %1</source>
        <translation>Settings fingerprint: %1</translation>
    </message>
</context>
<context>
    <name>qavix::StatusPanes</name>
    <message>
        <source>０号機</source>
        <translation>Unit 0</translation>
    </message>
    <message>
        <source>１号機</source>
        <translation>Unit 1</translation>
    </message>
    <message>
        <source>２号機</source>
        <translation>Unit 2</translation>
    </message>
    <message>
        <source>３号機</source>
        <translation>Unit 3</translation>
    </message>
    <message>
        <source>４号機</source>
        <translation>Unit 4</translation>
    </message>
    <message>
        <source>５号機</source>
        <translation>Unit 5</translation>
    </message>
    <message>
        <source>６号機</source>
        <translation>Unit 6</translation>
    </message>
    <message>
        <source>７号機</source>
        <translation>Unit 7</translation>
    </message>
    <message>
        <source>８号機</source>
        <translation>Unit 8</translation>
    </message>
    <message>
        <source>９号機</source>
        <translation>Unit 9</translation>
    </message>
    <message>
        <source>１０号機</source>
        <translation>Unit 10</translation>
    </message>
    <message>
        <source>１１号機</source>
        <translation>Unit 11</translation>
    </message>
    <message>
        <source>１２号機</source>
        <translation>Unit 12</translation>
    </message>
    <message>
        <source>１３号機</source>
        <translation>Unit 13</translation>
    </message>
    <message>
        <source>１４号機</source>
        <translation>Unit 14</translation>
    </message>
    <message>
        <source>１５号機</source>
        <translation>Unit 15</translation>
    </message>
    <message>
        <source>%1号機</source>
        <translation>Unit %1</translation>
    </message>
    <message>
        <source> 未接続 </source>
        <translation> Not connected </translation>
    </message>
    <message>
        <source>オフライン編集</source>
        <translation>Offline editing</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>File</translation>
    </message>
</context>
<context>
    <name>qavix::main</name>
    <message>
        <source>作業フォルダを作成できません。
</source>
        <translation>The working folder cannot be made.
</translation>
    </message>
    <message>
        <source>qavix: --lang %1: この言語はありません</source>
        <translation>qavix: --lang %1: no such language</translation>
    </message>
</context>
<context>
    <name>qavix::nav</name>
    <message>
        <source>Ｂａｎｋ１</source>
        <translation>Bank 1</translation>
    </message>
    <message>
        <source>Ｂａｎｋ２</source>
        <translation>Bank 2</translation>
    </message>
    <message>
        <source>Ｂａｎｋ３</source>
        <translation>Bank 3</translation>
    </message>
    <message>
        <source>Ｂａｎｋ４</source>
        <translation>Bank 4</translation>
    </message>
    <message>
        <source>センサ CH%1</source>
        <translation>Sensor CH%1</translation>
    </message>
    <message>
        <source>表示</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>基本情報</source>
        <translation>Basic information</translation>
    </message>
    <message>
        <source>基本情報画面を表示します</source>
        <translation>Shows the basic information page</translation>
    </message>
    <message>
        <source>受光レベルグラフ</source>
        <translation>Light level graph</translation>
    </message>
    <message>
        <source>受光レベルグラフ画面を表示します</source>
        <translation>Shows the light level graph page</translation>
    </message>
    <message>
        <source>受光レベルリスト</source>
        <translation>Light level list</translation>
    </message>
    <message>
        <source>受光レベルリスト画面を表示します</source>
        <translation>Shows the light level list page</translation>
    </message>
    <message>
        <source>スキャンモニタ</source>
        <translation>Scan monitor</translation>
    </message>
    <message>
        <source>スキャンモニタ画面を表示します</source>
        <translation>Shows the scan monitor page</translation>
    </message>
    <message>
        <source>設定一覧</source>
        <translation>Settings list</translation>
    </message>
    <message>
        <source>設定一覧の画面を表示します</source>
        <translation>Shows the settings list page</translation>
    </message>
    <message>
        <source>エラーログ</source>
        <translation>Error log</translation>
    </message>
    <message>
        <source>エラーログの画面を表示します</source>
        <translation>Shows the error log page</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>P-I/O 割付け</source>
        <translation>P-I/O assignment</translation>
    </message>
    <message>
        <source>P-I/Oの設定を行う画面を表示します</source>
        <translation>Shows the page that sets the P-I/O</translation>
    </message>
    <message>
        <source>オプション設定</source>
        <translation>Option settings</translation>
    </message>
    <message>
        <source>オプション設定を行う画面を表示します</source>
        <translation>Shows the page of the option settings</translation>
    </message>
    <message>
        <source>時計設定</source>
        <translation>Clock</translation>
    </message>
    <message>
        <source>時計設定を行う画面を表示します</source>
        <translation>Shows the clock page</translation>
    </message>
    <message>
        <source>計測処理</source>
        <translation>Measurement</translation>
    </message>
    <message>
        <source>総合ON/OFF判定</source>
        <translation>Overall ON/OFF judgement</translation>
    </message>
    <message>
        <source>総合ON/OFFの設定を行う画面を表示します</source>
        <translation>Shows the page that sets the overall ON/OFF</translation>
    </message>
    <message>
        <source>パラレル出力</source>
        <translation>Parallel output</translation>
    </message>
    <message>
        <source>パラレル出力の設定を行う画面を表示します</source>
        <translation>Shows the page that sets the parallel output</translation>
    </message>
    <message>
        <source>グループ判定</source>
        <translation>Group judgement</translation>
    </message>
    <message>
        <source>グループ判定の設定を行う画面を表示します</source>
        <translation>Shows the page that sets the group judgement</translation>
    </message>
    <message>
        <source>コントローラ</source>
        <translation>Controller</translation>
    </message>
    <message>
        <source>動作設定</source>
        <translation>Operation settings</translation>
    </message>
    <message>
        <source>動作設定画面を表示します</source>
        <translation>Shows the operation settings page</translation>
    </message>
    <message>
        <source>しきい値設定</source>
        <translation>Thresholds</translation>
    </message>
    <message>
        <source>しきい値設定の画面を表示します</source>
        <translation>Shows the threshold page</translation>
    </message>
    <message>
        <source>しきい値設定画面</source>
        <translation>Threshold page</translation>
    </message>
    <message>
        <source>動作設定の画面を表示します</source>
        <translation>Shows the operation settings page</translation>
    </message>
    <message>
        <source>現在値</source>
        <translation>Current values</translation>
    </message>
    <message>
        <source>ｺﾝﾄﾛｰﾗ基本情報</source>
        <translation>Controller basic information</translation>
    </message>
    <message>
        <source>受光ﾚﾍﾞﾙｸﾞﾗﾌ表示</source>
        <translation>Light level graph</translation>
    </message>
    <message>
        <source>受光ﾚﾍﾞﾙﾘｽﾄ表示</source>
        <translation>Light level list</translation>
    </message>
    <message>
        <source>P-I/O割付け</source>
        <translation>P-I/O assignment</translation>
    </message>
    <message>
        <source>センサ %1</source>
        <translation>Sensor %1</translation>
    </message>
    <message>
        <source>%1 動作設定</source>
        <translation>%1 operation settings</translation>
    </message>
    <message>
        <source>%1 受光レベルグラフ</source>
        <translation>%1 light level graph</translation>
    </message>
    <message>
        <source>設定値リスト</source>
        <translation>Settings list</translation>
    </message>
    <message>
        <source>Bank%1 コントローラ しきい値設定</source>
        <translation>Bank%1 controller thresholds</translation>
    </message>
    <message>
        <source>Bank %1 P-I/O割付け</source>
        <translation>Bank %1 P-I/O assignment</translation>
    </message>
    <message>
        <source>BANK %1 %2 動作設定</source>
        <translation>BANK %1 %2 operation settings</translation>
    </message>
    <message>
        <source>Bank %1 CH %2 しきい値設定画面</source>
        <translation>Bank %1 CH %2 threshold page</translation>
    </message>
    <message>
        <source>Bank %1 設定値リスト</source>
        <translation>Bank %1 settings list</translation>
    </message>
</context>
</TS>
