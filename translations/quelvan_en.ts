<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>MainWindow</name>
    <message>
        <source>Серия %1/%2  До запуска следующей серии: %3 c</source>
        <translation>Series %1/%2  Next series starts in: %3 s</translation>
    </message>
    <message>
        <source>Серия %1/%2  До запуска следующей серии: %3 с</source>
        <translation>Series %1/%2  Next series starts in: %3 s</translation>
    </message>
    <message>
        <source>Результат определения внимания: %1 %</source>
        <translation>Attention result: %1 %</translation>
    </message>
    <message>
        <source>Результаты сохранены не полностью: </source>
        <translation>The results were not saved completely: </translation>
    </message>
</context>
<context>
    <name>closeGuard</name>
    <message>
        <source>Результаты ещё отправляются. Подождать, пока они уйдут? Если закрыть окно сейчас, они будут отправлены при следующем запуске.</source>
        <translation>The results are still being sent. Wait until they are gone? If you close the window now, they will be sent at the next start.</translation>
    </message>
    <message>
        <source>Подождать</source>
        <translation>Wait</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>conclGraph</name>
    <message>
        <source>Распределение результатов по сериям</source>
        <translation>Results by series</translation>
    </message>
</context>
<context>
    <name>conclusionShow</name>
    <message>
        <source>Перейти к следующей серии</source>
        <translation>Go on to the next series</translation>
    </message>
</context>
<context>
    <name>downloadQueue</name>
    <message>
        <source>Выполняю запрос к серверу. Шаг %1</source>
        <translation>Sending the request to the server. Step %1</translation>
    </message>
</context>
<context>
    <name>instrShow</name>
    <message>
        <source>Начать тест</source>
        <translation>Start the test</translation>
    </message>
</context>
<context>
    <name>loadInterface</name>
    <message>
        <source>сервер занят</source>
        <translation>server busy</translation>
    </message>
    <message>
        <source>Не получилось создать список требуемых ресурсов</source>
        <translation>Failed to create the list of required resources</translation>
    </message>
    <message>
        <source>Получить тест с сервера</source>
        <translation>Get the test from the server</translation>
    </message>
    <message>
        <source>Использовать Proxy</source>
        <translation>Use proxy</translation>
    </message>
    <message>
        <source>Код участника:</source>
        <translation>Participant code:</translation>
    </message>
    <message>
        <source>Загрузка завершена</source>
        <translation>Download complete</translation>
    </message>
    <message>
        <source>Не могу создать вспомогательный каталог</source>
        <translation>Cannot create the auxiliary folder</translation>
    </message>
    <message>
        <source>Каталог с картинками занят другим окном quelvan: %1</source>
        <translation>The picture folder is in use by another quelvan window: %1</translation>
    </message>
</context>
<context>
    <name>loading</name>
    <message>
        <source>Готов к соединению</source>
        <translation>Ready to connect</translation>
    </message>
    <message>
        <source>Выполняю запрос к серверу. Шаг %1</source>
        <translation>Sending the request to the server. Step %1</translation>
    </message>
    <message>
        <source>Ошибка сетевого соединения:%1  
 По запросу:%2</source>
        <translation>Network connection error: %1  
 For the request: %2</translation>
    </message>
    <message>
        <source>Данные успешно получены</source>
        <translation>Data received successfully</translation>
    </message>
    <message>
        <source>Не удалось записать файл</source>
        <translation>Failed to write the file</translation>
    </message>
</context>
<context>
    <name>proxyConf</name>
    <message>
        <source>Имя proxy:</source>
        <translation>Proxy name:</translation>
    </message>
    <message>
        <source>Порт:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Имя пользователя:</source>
        <translation>User name:</translation>
    </message>
    <message>
        <source>Пароль:</source>
        <translation>Password:</translation>
    </message>
</context>
<context>
    <name>resultsWriter</name>
    <message>
        <source>Введите код участника</source>
        <translation>Enter the participant code</translation>
    </message>
    <message>
        <source>Недопустимый код участника «%1»: нужны от 1 до 64 букв, цифр, «-» или «_»</source>
        <translation>Invalid participant code “%1”: 1 to 64 letters, digits, “-” or “_” are needed</translation>
    </message>
    <message>
        <source>Не удаётся записать результаты в папку %1</source>
        <translation>Cannot write the results to the folder %1</translation>
    </message>
</context>
<context>
    <name>runTest</name>
    <message>
        <source>Формируем тест</source>
        <translation>Building the test</translation>
    </message>
    <message>
        <source>Ошибка формирования теста!</source>
        <translation>Test building error!</translation>
    </message>
    <message>
        <source>Ошибка! Отсутствует необходимый файл с картинкой для варианта: %1 %2</source>
        <translation>Error! The picture file for the variant is missing: %1 %2</translation>
    </message>
    <message>
        <source>серия:%5  %1/%2  время на слайд:%3 c  временя на серию:%4 c</source>
        <translation>series:%5  %1/%2  time per slide:%3 s  time per series:%4 s</translation>
    </message>
</context>
<context>
    <name>uploadLine</name>
    <message>
        <source>Результаты отправлены. Копия осталась на этом компьютере.</source>
        <translation>The results have been sent. A copy stays on this computer.</translation>
    </message>
    <message>
        <source>Результаты будут отправлены позже. Они сохранены здесь и уйдут сейчас или при следующем запуске.</source>
        <translation>The results will be sent later. They are saved here and will go now or at the next start.</translation>
    </message>
    <message>
        <source>Результаты не отправлены. Они сохранены в папке %1 — сообщите лаборатории.</source>
        <translation>The results have not been sent. They are saved in the folder %1; tell the lab.</translation>
    </message>
</context>
</TS>
