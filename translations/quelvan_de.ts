<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="ru">
<context>
    <name>MainWindow</name>
    <message numerus="yes">
        <source>Серия %1/%2  До запуска следующей серии: %n c</source>
        <comment>pause begins</comment>
        <extracomment>Pause screen as the pause begins: %1 the series just ended, %2 all series, %n the seconds left. Its twin, &quot;ticking&quot;, counts the seconds down: translate both alike.</extracomment>
        <translation>
            <numerusform>Serie %1/%2  Die nächste Serie beginnt in %n Sekunde</numerusform>
            <numerusform>Serie %1/%2  Die nächste Serie beginnt in %n Sekunden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Серия %1/%2  До запуска следующей серии: %n с</source>
        <comment>ticking</comment>
        <extracomment>Pause screen while the seconds count down: %1 the series just ended, %2 all series, %n the seconds left. Its twin, &quot;pause begins&quot;, shows the first: translate both alike.</extracomment>
        <translation>
            <numerusform>Serie %1/%2  Die nächste Serie beginnt in %n Sekunde</numerusform>
            <numerusform>Serie %1/%2  Die nächste Serie beginnt in %n Sekunden</numerusform>
        </translation>
    </message>
    <message>
        <source>Результат определения внимания: %1 %</source>
        <extracomment>Pause screen: the score of the series just ended, %1 a percentage.</extracomment>
        <translation>Ergebnis des Aufmerksamkeitstests: %1 %</translation>
    </message>
    <message>
        <source>Результаты сохранены не полностью: </source>
        <extracomment>Under the graph when a results file could not be written; the results folder follows the text.</extracomment>
        <translation>Die Ergebnisse wurden nicht vollständig gespeichert: </translation>
    </message>
</context>
<context>
    <name>closeGuard</name>
    <message>
        <source>Результаты ещё отправляются. Подождать, пока они уйдут? Если закрыть окно сейчас, они будут отправлены при следующем запуске.</source>
        <extracomment>The question when the window is closed while the run&apos;s results are still being uploaded (Wait keeps the window open, Close closes it now).</extracomment>
        <translation>Die Ergebnisse werden noch gesendet. Warten, bis sie übertragen sind? Wenn Sie das Fenster jetzt schließen, werden sie beim nächsten Start gesendet.</translation>
    </message>
    <message>
        <source>Подождать</source>
        <extracomment>Button of the close question: keep the window open until the results are sent.</extracomment>
        <translation>Warten</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <extracomment>Button of the close question: close the window now.</extracomment>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>conclGraph</name>
    <message>
        <source>Распределение результатов по сериям</source>
        <extracomment>Title of the final graph: the scores of all series. A long title wraps.</extracomment>
        <translation>Ergebnisse nach Serien</translation>
    </message>
</context>
<context>
    <name>conclusionShow</name>
    <message>
        <source>Перейти к следующей серии</source>
        <extracomment>Button of the pause screen: start the next series now.</extracomment>
        <translation>Weiter zur nächsten Serie</translation>
    </message>
</context>
<context>
    <name>downloadQueue</name>
    <message>
        <source>Выполняю запрос к серверу. Шаг %1</source>
        <extracomment>The same download status as in &quot;loading&quot;, when several pictures are fetched at once; %1 counts the requests so far.</extracomment>
        <translation>Anfrage an den Server wird gesendet. Schritt %1</translation>
    </message>
</context>
<context>
    <name>instrShow</name>
    <message>
        <source>Начать тест</source>
        <extracomment>Button under the server&apos;s instructions: start the first series.</extracomment>
        <translation>Test starten</translation>
    </message>
</context>
<context>
    <name>loadInterface</name>
    <message>
        <source>сервер занят</source>
        <extracomment>Download status: the server answered that it is busy (status 503).</extracomment>
        <translation>Server ausgelastet</translation>
    </message>
    <message>
        <source>Не получилось создать список требуемых ресурсов</source>
        <extracomment>Download status: the test server&apos;s list of pictures cannot be read.</extracomment>
        <translation>Die Liste der benötigten Dateien konnte nicht erstellt werden</translation>
    </message>
    <message>
        <source>Получить тест с сервера</source>
        <extracomment>Button of the first screen: download the test from the server.</extracomment>
        <translation>Test vom Server laden</translation>
    </message>
    <message>
        <source>Использовать Proxy</source>
        <extracomment>Check box of the first screen: reach the server through an HTTP proxy.</extracomment>
        <translation>Proxy verwenden</translation>
    </message>
    <message>
        <source>Загрузка завершена</source>
        <extracomment>Download status: every document and picture has arrived.</extracomment>
        <translation>Download abgeschlossen</translation>
    </message>
    <message>
        <source>Код участника:</source>
        <extracomment>Label of the participant code&apos;s field on the first screen.</extracomment>
        <translation>Teilnehmercode:</translation>
    </message>
    <message>
        <source>Не могу создать вспомогательный каталог</source>
        <extracomment>Download status: the picture folder cannot be created.</extracomment>
        <translation>Der Hilfsordner kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>Каталог с картинками занят другим окном quelvan: %1</source>
        <extracomment>Download status: another quelvan window uses the picture folder (%1).</extracomment>
        <translation>Der Bilderordner wird von einem anderen quelvan-Fenster verwendet: %1</translation>
    </message>
</context>
<context>
    <name>loading</name>
    <message>
        <source>Готов к соединению</source>
        <extracomment>Download status before the first request.</extracomment>
        <translation>Bereit zur Verbindung</translation>
    </message>
    <message>
        <source>Выполняю запрос к серверу. Шаг %1</source>
        <extracomment>Download status during each request; %1 counts the requests so far.</extracomment>
        <translation>Anfrage an den Server wird gesendet. Schritt %1</translation>
    </message>
    <message>
        <source>Не удалось записать файл</source>
        <extracomment>Download status: a picture cannot be saved in the picture folder.</extracomment>
        <translation>Die Datei konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Ошибка сетевого соединения:%1  
 По запросу:%2</source>
        <extracomment>Download status when a request failed: %1 the error&apos;s number, %2 the address asked. Keep the line break.</extracomment>
        <translation>Netzwerkfehler: %1  
 Bei der Anfrage: %2</translation>
    </message>
    <message>
        <source>Данные успешно получены</source>
        <extracomment>Download status: a document or picture has arrived.</extracomment>
        <translation>Daten erfolgreich empfangen</translation>
    </message>
</context>
<context>
    <name>proxyConf</name>
    <message>
        <source>Имя proxy:</source>
        <extracomment>Proxy form: the proxy&apos;s host name or address.</extracomment>
        <translation>Proxy-Server:</translation>
    </message>
    <message>
        <source>Порт:</source>
        <extracomment>Proxy form: the proxy&apos;s port number.</extracomment>
        <translation>Portnummer:</translation>
    </message>
    <message>
        <source>Имя пользователя:</source>
        <extracomment>Proxy form: the user name the proxy asks for.</extracomment>
        <translation>Benutzername:</translation>
    </message>
    <message>
        <source>Пароль:</source>
        <extracomment>Proxy form: the password the proxy asks for.</extracomment>
        <translation>Passwort:</translation>
    </message>
</context>
<context>
    <name>resultsWriter</name>
    <message>
        <source>Введите код участника</source>
        <extracomment>Download screen: the download was asked for without a participant code.</extracomment>
        <translation>Bitte den Teilnehmercode eingeben</translation>
    </message>
    <message>
        <source>Недопустимый код участника «%1»: нужны от 1 до 64 букв, цифр, «-» или «_»</source>
        <extracomment>Download screen: the participant code (%1) is not one that may be used.</extracomment>
        <translation>Ungültiger Teilnehmercode „%1“: erlaubt sind 1 bis 64 Buchstaben, Ziffern, „-“ oder „_“</translation>
    </message>
    <message>
        <source>Не удаётся записать результаты в папку %1</source>
        <extracomment>Download screen: the results folder (%1) cannot be written.</extracomment>
        <translation>Die Ergebnisse können nicht im Ordner %1 gespeichert werden</translation>
    </message>
</context>
<context>
    <name>runTest</name>
    <message>
        <source>Формируем тест</source>
        <extracomment>Status line while the slides are being prepared.</extracomment>
        <translation>Test wird vorbereitet</translation>
    </message>
    <message>
        <source>Ошибка формирования теста!</source>
        <extracomment>Status line: the server&apos;s test text holds no slide that can be shown.</extracomment>
        <translation>Fehler beim Erstellen des Tests!</translation>
    </message>
    <message>
        <source>Ошибка! Отсутствует необходимый файл с картинкой для варианта: %1 %2</source>
        <extracomment>Status line: a picture of the slide is missing; %1 and %2 are its two values.</extracomment>
        <translation>Fehler! Die Bilddatei für die Variante fehlt: %1 %2</translation>
    </message>
    <message>
        <source>серия:%5  %1/%2  время на слайд:%3 c  временя на серию:%4 c</source>
        <extracomment>Status line above the slides: %5 the series, %1 the slide, %2 the slides of a series, %3 the seconds left for this slide, %4 for the series (decimals). Keep the two blanks between the parts.</extracomment>
        <translation>Serie:%5  %1/%2  Zeit pro Folie:%3 s  Zeit pro Serie:%4 s</translation>
    </message>
</context>
<context>
    <name>uploadLine</name>
    <message>
        <source>Результаты отправлены. Копия осталась на этом компьютере.</source>
        <extracomment>Under the graph: the lab&apos;s store has the results.</extracomment>
        <translation>Die Ergebnisse wurden gesendet. Eine Kopie bleibt auf diesem Computer.</translation>
    </message>
    <message>
        <source>Результаты будут отправлены позже. Они сохранены здесь и уйдут сейчас или при следующем запуске.</source>
        <extracomment>Under the graph: the results are saved and will be uploaded later.</extracomment>
        <translation>Die Ergebnisse werden später gesendet. Sie sind hier gespeichert und werden jetzt oder beim nächsten Start übertragen.</translation>
    </message>
    <message>
        <source>Результаты не отправлены. Они сохранены в папке %1 — сообщите лаборатории.</source>
        <extracomment>Under the graph: the store refused the results; %1 is the folder that keeps them.</extracomment>
        <translation>Die Ergebnisse wurden nicht gesendet. Sie sind im Ordner %1 gespeichert – bitte dem Labor Bescheid geben.</translation>
    </message>
</context>
</TS>
