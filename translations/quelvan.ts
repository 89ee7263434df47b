<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" sourcelanguage="ru">
    <context>
        <name>MainWindow</name>
        <message numerus="yes">
            <source>Серия %1/%2  До запуска следующей серии: %n c</source>
            <comment>pause begins</comment>
            <extracomment>English: Series %1/%2  Next series starts in: %n s
Pause screen as the pause begins: %1 the series just ended, %2 all series, %n the seconds left. Its twin, "ticking", counts the seconds down: translate both alike.</extracomment>
            <translation type="unfinished">
                <numerusform />
            </translation>
        </message>
        <message numerus="yes">
            <source>Серия %1/%2  До запуска следующей серии: %n с</source>
            <comment>ticking</comment>
            <extracomment>English: Series %1/%2  Next series starts in: %n s
Pause screen while the seconds count down: %1 the series just ended, %2 all series, %n the seconds left. Its twin, "pause begins", shows the first: translate both alike.</extracomment>
            <translation type="unfinished">
                <numerusform />
            </translation>
        </message>
        <message>
            <source>Результат определения внимания: %1 %</source>
            <extracomment>English: Attention result: %1 %
Pause screen: the score of the series just ended, %1 a percentage.</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Результаты сохранены не полностью: </source>
            <extracomment>English: The results were not saved completely: 
Under the graph when a results file could not be written; the results folder follows the text.</extracomment>
            <translation type="unfinished" />
        </message>
    </context>
    <context>
        <name>closeGuard</name>
        <message>
            <source>Результаты ещё отправляются. Подождать, пока они уйдут? Если закрыть окно сейчас, они будут отправлены при следующем запуске.</source>
            <extracomment>English: The results are still being sent. Wait until they are gone? If you close the window now, they will be sent at the next start.
The question when the window is closed while the run's results are still being uploaded (Wait keeps the window open, Close closes it now).</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Подождать</source>
            <extracomment>English: Wait
Button of the close question: keep the window open until the results are sent.</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Закрыть</source>
            <extracomment>English: Close
Button of the close question: close the window now.</extracomment>
            <translation type="unfinished" />
        </message>
    </context>
    <context>
        <name>conclGraph</name>
        <message>
            <source>Распределение результатов по сериям</source>
            <extracomment>English: Results by series
Title of the final graph: the scores of all series. A long title wraps.</extracomment>
            <translation type="unfinished" />
        </message>
    </context>
    <context>
        <name>conclusionShow</name>
        <message>
            <source>Перейти к следующей серии</source>
            <extracomment>English: Go on to the next series
Button of the pause screen: start the next series now.</extracomment>
            <translation type="unfinished" />
        </message>
    </context>
    <context>
        <name>downloadQueue</name>
        <message>
            <source>Выполняю запрос к серверу. Шаг %1</source>
            <extracomment>English: Sending the request to the server. Step %1
The same download status as in "loading", when several pictures are fetched at once; %1 counts the requests so far.</extracomment>
            <translation type="unfinished" />
        </message>
    </context>
    <context>
        <name>instrShow</name>
        <message>
            <source>Начать тест</source>
            <extracomment>English: Start the test
Button under the server's instructions: start the first series.</extracomment>
            <translation type="unfinished" />
        </message>
    </context>
    <context>
        <name>loadInterface</name>
        <message>
            <source>сервер занят</source>
            <extracomment>English: server busy
Download status: the server answered that it is busy (status 503).</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Не получилось создать список требуемых ресурсов</source>
            <extracomment>English: Failed to create the list of required resources
Download status: the test server's list of pictures cannot be read.</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Получить тест с сервера</source>
            <extracomment>English: Get the test from the server
Button of the first screen: download the test from the server.</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Использовать Proxy</source>
            <extracomment>English: Use proxy
Check box of the first screen: reach the server through an HTTP proxy.</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Загрузка завершена</source>
            <extracomment>English: Download complete
Download status: every document and picture has arrived.</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Код участника:</source>
            <extracomment>English: Participant code:
Label of the participant code's field on the first screen.</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Не могу создать вспомогательный каталог</source>
            <extracomment>English: Cannot create the auxiliary folder
Download status: the picture folder cannot be created.</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Каталог с картинками занят другим окном quelvan: %1</source>
            <extracomment>English: The picture folder is in use by another quelvan window: %1
Download status: another quelvan window uses the picture folder (%1).</extracomment>
            <translation type="unfinished" />
        </message>
    </context>
    <context>
        <name>loading</name>
        <message>
            <source>Готов к соединению</source>
            <extracomment>English: Ready to connect
Download status before the first request.</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Выполняю запрос к серверу. Шаг %1</source>
            <extracomment>English: Sending the request to the server. Step %1
Download status during each request; %1 counts the requests so far.</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Не удалось записать файл</source>
            <extracomment>English: Failed to write the file
Download status: a picture cannot be saved in the picture folder.</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Ошибка сетевого соединения:%1  
 По запросу:%2</source>
            <extracomment>English: Network connection error: %1  
 For the request: %2
Download status when a request failed: %1 the error's number, %2 the address asked. Keep the line break.</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Данные успешно получены</source>
            <extracomment>English: Data received successfully
Download status: a document or picture has arrived.</extracomment>
            <translation type="unfinished" />
        </message>
    </context>
    <context>
        <name>proxyConf</name>
        <message>
            <source>Имя proxy:</source>
            <extracomment>English: Proxy name:
Proxy form: the proxy's host name or address.</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Порт:</source>
            <extracomment>English: Port:
Proxy form: the proxy's port number.</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Имя пользователя:</source>
            <extracomment>English: User name:
Proxy form: the user name the proxy asks for.</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Пароль:</source>
            <extracomment>English: Password:
Proxy form: the password the proxy asks for.</extracomment>
            <translation type="unfinished" />
        </message>
    </context>
    <context>
        <name>resultsWriter</name>
        <message>
            <source>Введите код участника</source>
            <extracomment>English: Enter the participant code
Download screen: the download was asked for without a participant code.</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Недопустимый код участника «%1»: нужны от 1 до 64 букв, цифр, «-» или «_»</source>
            <extracomment>English: Invalid participant code “%1”: 1 to 64 letters, digits, “-” or “_” are needed
Download screen: the participant code (%1) is not one that may be used.</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Не удаётся записать результаты в папку %1</source>
            <extracomment>English: Cannot write the results to the folder %1
Download screen: the results folder (%1) cannot be written.</extracomment>
            <translation type="unfinished" />
        </message>
    </context>
    <context>
        <name>runTest</name>
        <message>
            <source>Формируем тест</source>
            <extracomment>English: Building the test
Status line while the slides are being prepared.</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Ошибка формирования теста!</source>
            <extracomment>English: Test building error!
Status line: the server's test text holds no slide that can be shown.</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Ошибка! Отсутствует необходимый файл с картинкой для варианта: %1 %2</source>
            <extracomment>English: Error! The picture file for the variant is missing: %1 %2
Status line: a picture of the slide is missing; %1 and %2 are its two values.</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>серия:%5  %1/%2  время на слайд:%3 c  временя на серию:%4 c</source>
            <extracomment>English: series:%5  %1/%2  time per slide:%3 s  time per series:%4 s
Status line above the slides: %5 the series, %1 the slide, %2 the slides of a series, %3 the seconds left for this slide, %4 for the series (decimals). Keep the two blanks between the parts.</extracomment>
            <translation type="unfinished" />
        </message>
    </context>
    <context>
        <name>uploadLine</name>
        <message>
            <source>Результаты отправлены. Копия осталась на этом компьютере.</source>
            <extracomment>English: The results have been sent. A copy stays on this computer.
Under the graph: the lab's store has the results.</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Результаты будут отправлены позже. Они сохранены здесь и уйдут сейчас или при следующем запуске.</source>
            <extracomment>English: The results will be sent later. They are saved here and will go now or at the next start.
Under the graph: the results are saved and will be uploaded later.</extracomment>
            <translation type="unfinished" />
        </message>
        <message>
            <source>Результаты не отправлены. Они сохранены в папке %1 — сообщите лаборатории.</source>
            <extracomment>English: The results have not been sent. They are saved in the folder %1; tell the lab.
Under the graph: the store refused the results; %1 is the folder that keeps them.</extracomment>
            <translation type="unfinished" />
        </message>
    </context>
</TS>
