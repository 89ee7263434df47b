<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="ru">
<context>
    <name>MainWindow</name>
    <message numerus="yes">
        <source>Серия %1/%2  До запуска следующей серии: %n c</source>
        <comment>pause begins</comment>
        <extracomment>Pause screen as the pause begins: %1 the series just ended, %2 all series, %n the seconds left. Its twin, &quot;ticking&quot;, counts the seconds down: translate both alike.</extracomment>
        <translation>
            <numerusform>Serie %1/%2  La siguiente serie empieza en %n segundo</numerusform>
            <numerusform>Serie %1/%2  La siguiente serie empieza en %n segundos</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Серия %1/%2  До запуска следующей серии: %n с</source>
        <comment>ticking</comment>
        <extracomment>Pause screen while the seconds count down: %1 the series just ended, %2 all series, %n the seconds left. Its twin, &quot;pause begins&quot;, shows the first: translate both alike.</extracomment>
        <translation>
            <numerusform>Serie %1/%2  La siguiente serie empieza en %n segundo</numerusform>
            <numerusform>Serie %1/%2  La siguiente serie empieza en %n segundos</numerusform>
        </translation>
    </message>
    <message>
        <source>Результат определения внимания: %1 %</source>
        <extracomment>Pause screen: the score of the series just ended, %1 a percentage.</extracomment>
        <translation>Resultado de atención: %1 %</translation>
    </message>
    <message>
        <source>Результаты сохранены не полностью: </source>
        <extracomment>Under the graph when a results file could not be written; the results folder follows the text.</extracomment>
        <translation>Los resultados no se guardaron por completo: </translation>
    </message>
</context>
<context>
    <name>closeGuard</name>
    <message>
        <source>Результаты ещё отправляются. Подождать, пока они уйдут? Если закрыть окно сейчас, они будут отправлены при следующем запуске.</source>
        <extracomment>The question when the window is closed while the run&apos;s results are still being uploaded (Wait keeps the window open, Close closes it now).</extracomment>
        <translation>Los resultados aún se están enviando. ¿Esperar a que terminen? Si cierra la ventana ahora, se enviarán en el próximo inicio.</translation>
    </message>
    <message>
        <source>Подождать</source>
        <extracomment>Button of the close question: keep the window open until the results are sent.</extracomment>
        <translation>Esperar</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <extracomment>Button of the close question: close the window now.</extracomment>
        <translation>Cerrar</translation>
    </message>
</context>
<context>
    <name>conclGraph</name>
    <message>
        <source>Распределение результатов по сериям</source>
        <extracomment>Title of the final graph: the scores of all series. A long title wraps.</extracomment>
        <translation>Resultados por serie</translation>
    </message>
</context>
<context>
    <name>conclusionShow</name>
    <message>
        <source>Перейти к следующей серии</source>
        <extracomment>Button of the pause screen: start the next series now.</extracomment>
        <translation>Pasar a la siguiente serie</translation>
    </message>
</context>
<context>
    <name>downloadQueue</name>
    <message>
        <source>Выполняю запрос к серверу. Шаг %1</source>
        <extracomment>The same download status as in &quot;loading&quot;, when several pictures are fetched at once; %1 counts the requests so far.</extracomment>
        <translation>Enviando la solicitud al servidor. Paso %1</translation>
    </message>
</context>
<context>
    <name>instrShow</name>
    <message>
        <source>Начать тест</source>
        <extracomment>Button under the server&apos;s instructions: start the first series.</extracomment>
        <translation>Comenzar la prueba</translation>
    </message>
</context>
<context>
    <name>loadInterface</name>
    <message>
        <source>сервер занят</source>
        <extracomment>Download status: the server answered that it is busy (status 503).</extracomment>
        <translation>servidor ocupado</translation>
    </message>
    <message>
        <source>Не получилось создать список требуемых ресурсов</source>
        <extracomment>Download status: the test server&apos;s list of pictures cannot be read.</extracomment>
        <translation>No se pudo crear la lista de recursos necesarios</translation>
    </message>
    <message>
        <source>Получить тест с сервера</source>
        <extracomment>Button of the first screen: download the test from the server.</extracomment>
        <translation>Obtener la prueba del servidor</translation>
    </message>
    <message>
        <source>Использовать Proxy</source>
        <extracomment>Check box of the first screen: reach the server through an HTTP proxy.</extracomment>
        <translation>Usar proxy</translation>
    </message>
    <message>
        <source>Загрузка завершена</source>
        <extracomment>Download status: every document and picture has arrived.</extracomment>
        <translation>Descarga completada</translation>
    </message>
    <message>
        <source>Код участника:</source>
        <extracomment>Label of the participant code&apos;s field on the first screen.</extracomment>
        <translation>Código del participante:</translation>
    </message>
    <message>
        <source>Не могу создать вспомогательный каталог</source>
        <extracomment>Download status: the picture folder cannot be created.</extracomment>
        <translation>No se puede crear la carpeta auxiliar</translation>
    </message>
    <message>
        <source>Каталог с картинками занят другим окном quelvan: %1</source>
        <extracomment>Download status: another quelvan window uses the picture folder (%1).</extracomment>
        <translation>Otra ventana de quelvan está usando la carpeta de imágenes: %1</translation>
    </message>
</context>
<context>
    <name>loading</name>
    <message>
        <source>Готов к соединению</source>
        <extracomment>Download status before the first request.</extracomment>
        <translation>Listo para conectar</translation>
    </message>
    <message>
        <source>Выполняю запрос к серверу. Шаг %1</source>
        <extracomment>Download status during each request; %1 counts the requests so far.</extracomment>
        <translation>Enviando la solicitud al servidor. Paso %1</translation>
    </message>
    <message>
        <source>Не удалось записать файл</source>
        <extracomment>Download status: a picture cannot be saved in the picture folder.</extracomment>
        <translation>No se pudo escribir el archivo</translation>
    </message>
    <message>
        <source>Ошибка сетевого соединения:%1  
 По запросу:%2</source>
        <extracomment>Download status when a request failed: %1 the error&apos;s number, %2 the address asked. Keep the line break.</extracomment>
        <translation>Error de conexión de red: %1  
 En la solicitud: %2</translation>
    </message>
    <message>
        <source>Данные успешно получены</source>
        <extracomment>Download status: a document or picture has arrived.</extracomment>
        <translation>Datos recibidos correctamente</translation>
    </message>
</context>
<context>
    <name>proxyConf</name>
    <message>
        <source>Имя proxy:</source>
        <extracomment>Proxy form: the proxy&apos;s host name or address.</extracomment>
        <translation>Nombre del proxy:</translation>
    </message>
    <message>
        <source>Порт:</source>
        <extracomment>Proxy form: the proxy&apos;s port number.</extracomment>
        <translation>Puerto:</translation>
    </message>
    <message>
        <source>Имя пользователя:</source>
        <extracomment>Proxy form: the user name the proxy asks for.</extracomment>
        <translation>Nombre de usuario:</translation>
    </message>
    <message>
        <source>Пароль:</source>
        <extracomment>Proxy form: the password the proxy asks for.</extracomment>
        <translation>Contraseña:</translation>
    </message>
</context>
<context>
    <name>resultsWriter</name>
    <message>
        <source>Введите код участника</source>
        <extracomment>Download screen: the download was asked for without a participant code.</extracomment>
        <translation>Introduzca el código del participante</translation>
    </message>
    <message>
        <source>Недопустимый код участника «%1»: нужны от 1 до 64 букв, цифр, «-» или «_»</source>
        <extracomment>Download screen: the participant code (%1) is not one that may be used.</extracomment>
        <translation>Código de participante «%1» no válido: se necesitan de 1 a 64 letras, dígitos, «-» o «_»</translation>
    </message>
    <message>
        <source>Не удаётся записать результаты в папку %1</source>
        <extracomment>Download screen: the results folder (%1) cannot be written.</extracomment>
        <translation>No se pueden guardar los resultados en la carpeta %1</translation>
    </message>
</context>
<context>
    <name>runTest</name>
    <message>
        <source>Формируем тест</source>
        <extracomment>Status line while the slides are being prepared.</extracomment>
        <translation>Preparando la prueba</translation>
    </message>
    <message>
        <source>Ошибка формирования теста!</source>
        <extracomment>Status line: the server&apos;s test text holds no slide that can be shown.</extracomment>
        <translation>¡Error al preparar la prueba!</translation>
    </message>
    <message>
        <source>Ошибка! Отсутствует необходимый файл с картинкой для варианта: %1 %2</source>
        <extracomment>Status line: a picture of the slide is missing; %1 and %2 are its two values.</extracomment>
        <translation>¡Error! Falta el archivo de imagen de la variante: %1 %2</translation>
    </message>
    <message>
        <source>серия:%5  %1/%2  время на слайд:%3 c  временя на серию:%4 c</source>
        <extracomment>Status line above the slides: %5 the series, %1 the slide, %2 the slides of a series, %3 the seconds left for this slide, %4 for the series (decimals). Keep the two blanks between the parts.</extracomment>
        <translation>serie:%5  %1/%2  tiempo por diapositiva:%3 s  tiempo por serie:%4 s</translation>
    </message>
</context>
<context>
    <name>uploadLine</name>
    <message>
        <source>Результаты отправлены. Копия осталась на этом компьютере.</source>
        <extracomment>Under the graph: the lab&apos;s store has the results.</extracomment>
        <translation>Los resultados se han enviado. Queda una copia en este equipo.</translation>
    </message>
    <message>
        <source>Результаты будут отправлены позже. Они сохранены здесь и уйдут сейчас или при следующем запуске.</source>
        <extracomment>Under the graph: the results are saved and will be uploaded later.</extracomment>
        <translation>Los resultados se enviarán más tarde. Están guardados aquí y se enviarán ahora o en el próximo inicio.</translation>
    </message>
    <message>
        <source>Результаты не отправлены. Они сохранены в папке %1 — сообщите лаборатории.</source>
        <extracomment>Under the graph: the store refused the results; %1 is the folder that keeps them.</extracomment>
        <translation>Los resultados no se han enviado. Están guardados en la carpeta %1; avise al laboratorio.</translation>
    </message>
</context>
</TS>
