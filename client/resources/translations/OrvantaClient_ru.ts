<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>OrvantaClient::API::Camera</name>
    <message>
        <source>Set up pricing plan</source>
        <translation>Выбрать тарифный план</translation>
    </message>
    <message>
        <source>Plan not paid for</source>
        <translation>Тариф не оплачен</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>Не в сети</translation>
    </message>
    <message>
        <source>Offline, plan not paid for</source>
        <translation>Не в сети, тариф не оплачен</translation>
    </message>
    <message>
        <source>Camera &quot;%1&quot; is offline. Its video comes back by itself when the camera is online again.</source>
        <translation>Камера «%1» не в сети. Видео появится само, когда камера снова будет в сети.</translation>
    </message>
    <message>
        <source>The pricing plan of camera &quot;%1&quot; is not paid for, so its video cannot be shown.</source>
        <translation>Тариф камеры «%1» не оплачен, поэтому её видео нельзя показать.</translation>
    </message>
    <message>
        <source>Camera &quot;%1&quot; is offline, and its pricing plan is not paid for.</source>
        <translation>Камера «%1» не в сети, и её тариф не оплачен.</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::API::Layout</name>
    <message>
        <source>Untitled layout</source>
        <translation>Раскладка без названия</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::App::Application</name>
    <message>
        <source>Settings and logs cannot be written to %1. The log is kept in %2.</source>
        <translation>Настройки и журнал не могут быть записаны в %1. Журнал ведётся в %2.</translation>
    </message>
    <message>
        <source>Settings and logs cannot be written to %1.</source>
        <translation>Настройки и журнал не могут быть записаны в %1.</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::App::Layouts</name>
    <message>
        <source>The saved layouts could not be read from %1.</source>
        <translation>Не удалось прочитать сохранённые раскладки из %1.</translation>
    </message>
    <message>
        <source>The saved layouts could not be read from %1. The file was kept as %2.</source>
        <translation>Не удалось прочитать сохранённые раскладки из %1. Файл сохранён как %2.</translation>
    </message>
    <message>
        <source>The layouts could not be saved to %1.</source>
        <translation>Не удалось сохранить раскладки в %1.</translation>
    </message>
    <message>
        <source>Some of the saved layouts could not be read from %1.</source>
        <translation>Некоторые сохранённые раскладки не удалось прочитать из %1.</translation>
    </message>
    <message>
        <source>Some of the saved layouts could not be read from %1. The file was kept as %2.</source>
        <translation>Некоторые сохранённые раскладки не удалось прочитать из %1. Файл сохранён как %2.</translation>
    </message>
    <message>
        <source>The unreadable layouts file was kept as %1.</source>
        <translation>Нечитаемый файл раскладок сохранён как %1.</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::App::Roster</name>
    <message>
        <source>The local servers could not be read from %1. The file is left as it is.</source>
        <translation>Не удалось прочитать локальные серверы из %1. Файл оставлен без изменений.</translation>
    </message>
    <message>
        <source>The unreadable list of local servers was kept as %1.</source>
        <translation>Нечитаемый список локальных серверов сохранён как %1.</translation>
    </message>
    <message>
        <source>The local servers could not be saved to %1.</source>
        <translation>Не удалось сохранить локальные серверы в %1.</translation>
    </message>
    <message>
        <source>Some of the local servers could not be read from %1. The file is left as it is.</source>
        <translation>Некоторые локальные серверы не удалось прочитать из %1. Файл оставлен как есть.</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::App::Settings</name>
    <message>
        <source>The settings could not be saved to %1.</source>
        <translation>Не удалось сохранить настройки в %1.</translation>
    </message>
    <message>
        <source>The settings could not be read from %1. Changes to them are not saved, so that the file stays as it is.</source>
        <translation>Не удалось прочитать настройки из %1. Изменения настроек не сохраняются, чтобы файл остался как есть.</translation>
    </message>
    <message>
        <source>The settings could not be read from %1. The file was kept as %2.</source>
        <translation>Не удалось прочитать настройки из %1. Файл сохранён как %2.</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::App::Tours</name>
    <message>
        <source>The unreadable tours file was kept as %1.</source>
        <translation>Нечитаемый файл обходов сохранён как %1.</translation>
    </message>
    <message>
        <source>The tours could not be saved to %1.</source>
        <translation>Не удалось сохранить обходы в %1.</translation>
    </message>
    <message>
        <source>The saved tours could not be read from %1.</source>
        <translation>Не удалось прочитать сохранённые обходы из %1.</translation>
    </message>
    <message>
        <source>The saved tours could not be read from %1. The file was kept as %2.</source>
        <translation>Не удалось прочитать сохранённые обходы из %1. Файл сохранён как %2.</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::ArchiveControlPanel</name>
    <message>
        <source>MMM dd</source>
        <translation>d MMM</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Уменьшить</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Увеличить</translation>
    </message>
    <message>
        <source>Exporting...</source>
        <translation>Экспорт...</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::CameraCard</name>
    <message>
        <source>Open camera</source>
        <translation>Открыть камеру</translation>
    </message>
    <message>
        <source>Add to layout</source>
        <translation>Добавить в раскладку</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Open in new window</source>
        <translation>Открыть в новом окне</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::CameraSettingsDialog</name>
    <message>
        <source>Camera settings</source>
        <translation>Настройки камеры</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Название</translation>
    </message>
    <message>
        <source>Turn clockwise</source>
        <translation>Повернуть по часовой стрелке</translation>
    </message>
    <message>
        <source>Turn counterclockwise</source>
        <translation>Повернуть против часовой стрелки</translation>
    </message>
    <message>
        <source>Rotation</source>
        <translation>Поворот</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::Card</name>
    <message>
        <source>Menu</source>
        <translation>Меню</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::CellMenu</name>
    <message>
        <source>Snapshot</source>
        <translation>Снимок</translation>
    </message>
    <message>
        <source>Maximise</source>
        <translation>Развернуть</translation>
    </message>
    <message>
        <source>Recordings of this camera</source>
        <translation>Записи этой камеры</translation>
    </message>
    <message>
        <source>Open in new window</source>
        <translation>Открыть в новом окне</translation>
    </message>
    <message>
        <source>Quality</source>
        <translation>Качество</translation>
    </message>
    <message>
        <source>Return to the grid</source>
        <translation>Вернуть в сетку</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::ConnectionBanner</name>
    <message>
        <source>No connection to the service, retrying...</source>
        <translation>Нет соединения с сервисом, повторная попытка...</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::ControlPanel</name>
    <message>
        <source>Recordings</source>
        <translation>Записи</translation>
    </message>
    <message>
        <source>Show recordings</source>
        <translation>Показать записи</translation>
    </message>
    <message>
        <source>Hide recordings</source>
        <translation>Скрыть записи</translation>
    </message>
    <message>
        <source>Live</source>
        <translation>Прямой эфир</translation>
    </message>
    <message>
        <source>Start live feed</source>
        <translation>Перейти к прямому эфиру</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Пауза</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Воспроизвести</translation>
    </message>
    <message>
        <source>Sound on/off</source>
        <translation>Включить/выключить звук</translation>
    </message>
    <message>
        <source>Quality</source>
        <translation>Качество</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Экспорт</translation>
    </message>
    <message>
        <source>Full screen</source>
        <translation>Полный экран</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Choose interval</source>
        <translation>Выберите интервал</translation>
    </message>
    <message>
        <source>Stream health</source>
        <translation>Состояние потока</translation>
    </message>
    <message>
        <source>Show the stream health over every cell</source>
        <translation>Показать состояние потока во всех ячейках</translation>
    </message>
    <message>
        <source>Choose a fragment to export</source>
        <translation>Выбрать фрагмент для экспорта</translation>
    </message>
    <message>
        <source>Leave full screen</source>
        <translation>Выйти из полного экрана</translation>
    </message>
    <message>
        <source>Playback speed</source>
        <translation>Скорость воспроизведения</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::FragmentEditor</name>
    <message>
        <source>Select fragment to export</source>
        <translation>Выберите фрагмент для экспорта</translation>
    </message>
    <message>
        <source>Start of the fragment</source>
        <translation>Начало фрагмента</translation>
    </message>
    <message>
        <source>End of the fragment</source>
        <translation>Конец фрагмента</translation>
    </message>
    <message>
        <source>The fragment must end after it starts</source>
        <translation>Фрагмент должен заканчиваться позже, чем начинается</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::InfoPanel</name>
    <message>
        <source>Show toolbars</source>
        <translation>Показать панели</translation>
    </message>
    <message>
        <source>Edit view</source>
        <translation>Изменить вид</translation>
    </message>
    <message>
        <source>Edit grid</source>
        <translation>Изменить сетку</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Open new window</source>
        <translation>Открыть в новом окне</translation>
    </message>
    <message>
        <source>Close view</source>
        <translation>Закрыть вид</translation>
    </message>
    <message>
        <source>%1 and %2 more</source>
        <translation>%1 и ещё %2</translation>
    </message>
    <message>
        <source>Shrink the grid</source>
        <translation>Уменьшить сетку</translation>
    </message>
    <message>
        <source>Cameras that do not fit in the smaller grid will leave the layout.</source>
        <translation>Камеры, которые не поместятся в уменьшенную сетку, будут убраны из раскладки.</translation>
    </message>
    <message>
        <source>Leaving the layout (%1): %2.</source>
        <translation>Будут убраны из раскладки (%1): %2.</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::KeyboardShortcuts</name>
    <message>
        <source>Show the keyboard shortcuts</source>
        <translation>Показать сочетания клавиш</translation>
    </message>
    <message>
        <source>Enter or leave full screen</source>
        <translation>Включить или выключить полноэкранный режим</translation>
    </message>
    <message>
        <source>Show the whole picture of a zoomed cell, return a maximised cell to the grid, or leave full screen</source>
        <translation>Показать всё изображение увеличенной ячейки, вернуть развёрнутую ячейку в сетку или выйти из полноэкранного режима</translation>
    </message>
    <message>
        <source>Pause or play</source>
        <translation>Пауза или воспроизведение</translation>
    </message>
    <message>
        <source>Back to live video</source>
        <translation>Вернуться к прямому эфиру</translation>
    </message>
    <message>
        <source>Show or hide the recordings</source>
        <translation>Показать или скрыть записи</translation>
    </message>
    <message>
        <source>Recordings: 10 seconds back</source>
        <translation>Записи: на 10 секунд назад</translation>
    </message>
    <message>
        <source>Recordings: 10 seconds forward</source>
        <translation>Записи: на 10 секунд вперёд</translation>
    </message>
    <message>
        <source>Recordings: 1 minute back</source>
        <translation>Записи: на 1 минуту назад</translation>
    </message>
    <message>
        <source>Recordings: 1 minute forward</source>
        <translation>Записи: на 1 минуту вперёд</translation>
    </message>
    <message>
        <source>Recordings: play faster</source>
        <translation>Записи: воспроизводить быстрее</translation>
    </message>
    <message>
        <source>Recordings: play slower</source>
        <translation>Записи: воспроизводить медленнее</translation>
    </message>
    <message>
        <source>Save a snapshot of the active cell</source>
        <translation>Сохранить снимок активной ячейки</translation>
    </message>
    <message>
        <source>Choose a fragment of the recordings to export</source>
        <translation>Выбрать фрагмент записей для экспорта</translation>
    </message>
    <message>
        <source>Maximise that cell (counted left to right, top to bottom); again to return to the grid</source>
        <translation>Развернуть ячейку с этим номером (счёт слева направо, сверху вниз); повторное нажатие возвращает к сетке</translation>
    </message>
    <message>
        <source>Open the next of your layouts</source>
        <translation>Открыть следующую из ваших раскладок</translation>
    </message>
    <message>
        <source>Open the previous of your layouts</source>
        <translation>Открыть предыдущую из ваших раскладок</translation>
    </message>
    <message>
        <source>Zoom into the active cell</source>
        <translation>Приблизить изображение активной ячейки</translation>
    </message>
    <message>
        <source>Zoom out of the active cell</source>
        <translation>Отдалить изображение активной ячейки</translation>
    </message>
    <message>
        <source>Show the whole picture of the active cell</source>
        <translation>Показать всё изображение активной ячейки</translation>
    </message>
    <message>
        <source>Start or stop the tour</source>
        <translation>Запустить или остановить обход</translation>
    </message>
    <message>
        <source>Show or hide the stream health over every cell</source>
        <translation>Показать или скрыть состояние потока во всех ячейках</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::LayoutCard</name>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Open in new window</source>
        <translation>Открыть в новом окне</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::LayoutWidget</name>
    <message>
        <source>Snapshot saved.</source>
        <translation>Снимок сохранён.</translation>
    </message>
    <message>
        <source>Open folder</source>
        <translation>Открыть папку</translation>
    </message>
    <message>
        <source>An error occurred while saving the snapshot</source>
        <translation>Не удалось сохранить снимок</translation>
    </message>
    <message>
        <source>Recording saved.</source>
        <translation>Запись сохранена.</translation>
    </message>
    <message>
        <source>An error occurred while exporting</source>
        <translation>Не удалось экспортировать запись</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::LocalServerDialog</name>
    <message>
        <source>The video server is installed on this computer</source>
        <translation>Видеосервер установлен на этом компьютере</translation>
    </message>
    <message>
        <source>The video server is in my local network</source>
        <translation>Видеосервер находится в моей локальной сети</translation>
    </message>
    <message>
        <source>Show password</source>
        <translation>Показать пароль</translation>
    </message>
    <message>
        <source>Edit a local video server</source>
        <translation>Изменить локальный видеосервер</translation>
    </message>
    <message>
        <source>Add a local video server</source>
        <translation>Добавить локальный видеосервер</translation>
    </message>
    <message>
        <source>Video server location</source>
        <translation>Расположение видеосервера</translation>
    </message>
    <message>
        <source>Video server&apos;s IP address:</source>
        <translation>IP-адрес видеосервера:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Порт:</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Название:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Пароль:</translation>
    </message>
    <message>
        <source>Enter the video server&apos;s IP address or host name</source>
        <translation>Введите IP-адрес или имя хоста видеосервера</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an IP address or a host name</source>
        <translation>&quot;%1&quot; не является IP-адресом или именем хоста</translation>
    </message>
    <message>
        <source>The port must be a number from 1 to 65535</source>
        <translation>Порт должен быть числом от 1 до 65535</translation>
    </message>
    <message>
        <source>Enter a name for the video server</source>
        <translation>Введите название видеосервера</translation>
    </message>
    <message>
        <source>A video server at %1 is already added</source>
        <translation>Видеосервер по адресу %1 уже добавлен</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::LoginDialog</name>
    <message>
        <source>Don&apos;t remember me</source>
        <translation>Не запоминать меня</translation>
    </message>
    <message>
        <source>Sign in</source>
        <translation>Войти</translation>
    </message>
    <message>
        <source>Email address</source>
        <translation>Адрес электронной почты</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Пароль</translation>
    </message>
    <message>
        <source>Change your account settings</source>
        <translation>Изменить настройки учётной записи</translation>
    </message>
    <message>
        <source>Wrong email address or password</source>
        <translation>Неверный адрес электронной почты или пароль</translation>
    </message>
    <message>
        <source>Using proxy server</source>
        <translation>Используется прокси-сервер</translation>
    </message>
    <message>
        <source>Proxy server detected</source>
        <translation>Обнаружен прокси-сервер</translation>
    </message>
    <message>
        <source>Proxy setup</source>
        <translation>Настроить прокси</translation>
    </message>
    <message>
        <source>Forgot your password?</source>
        <translation>Забыли пароль?</translation>
    </message>
    <message>
        <source>Sign up</source>
        <translation>Зарегистрироваться</translation>
    </message>
    <message>
        <source>Account settings</source>
        <translation>Настройки учётной записи</translation>
    </message>
    <message>
        <source>Default settings</source>
        <translation>Настройки по умолчанию</translation>
    </message>
    <message>
        <source>Sign in using your %1 account</source>
        <translation>Войти с учётной записью %1</translation>
    </message>
    <message>
        <source>Local authorization</source>
        <translation>Локальная авторизация</translation>
    </message>
    <message>
        <source>You can still sign in to watch local feeds without Internet access</source>
        <translation>Можно войти и смотреть локальные камеры без доступа к Интернету</translation>
    </message>
    <message>
        <source>Use if the Internet is only accessible via proxy in your network</source>
        <translation>Включите, если Интернет в вашей сети доступен только через прокси</translation>
    </message>
    <message>
        <source>Host</source>
        <translation>Хост</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Порт</translation>
    </message>
    <message>
        <source>Username</source>
        <translation>Имя пользователя</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Готово</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Local start</source>
        <translation>Локальный запуск</translation>
    </message>
    <message>
        <source>Unexpected answer from the service</source>
        <translation>Неожиданный ответ сервиса</translation>
    </message>
    <message>
        <source>The service is unavailable. Please try again later</source>
        <translation>Сервис недоступен. Попробуйте позже</translation>
    </message>
    <message>
        <source>Cannot reach the service. Check your internet connection and proxy settings</source>
        <translation>Не удаётся связаться с сервисом. Проверьте подключение к интернету и настройки прокси</translation>
    </message>
    <message>
        <source>Too many sign-in attempts. Please try again in 30 seconds</source>
        <translation>Слишком много попыток входа. Повторите через 30 секунд</translation>
    </message>
    <message>
        <source>Work without an account (local servers only)</source>
        <translation>Работать без учётной записи (только локальные серверы)</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::MainWindow</name>
    <message>
        <source>The layout has been modified.</source>
        <translation>Раскладка была изменена.</translation>
    </message>
    <message>
        <source>Do you want to save your changes?</source>
        <translation>Сохранить изменения?</translation>
    </message>
    <message>
        <source>A new version of %1 is available!</source>
        <translation>Доступна новая версия %1!</translation>
    </message>
    <message>
        <source>%1 %2 version is available.</source>
        <translation>Доступна версия %1 %2.</translation>
    </message>
    <message>
        <source> Would you like to download it now?</source>
        <translation> Загрузить её сейчас?</translation>
    </message>
    <message>
        <source>Are you sure you want to sign out?</source>
        <translation>Вы уверены, что хотите выйти?</translation>
    </message>
    <message>
        <source>Select a camera to export its recordings</source>
        <translation>Выберите камеру, чтобы экспортировать её записи</translation>
    </message>
    <message>
        <source>Only recordings of cameras on local video servers can be exported</source>
        <translation>Экспортировать можно только записи камер локальных видеосерверов</translation>
    </message>
    <message>
        <source>No recordings of this camera on this day</source>
        <translation>У этой камеры нет записей за этот день</translation>
    </message>
    <message>
        <source>Start a tour</source>
        <translation>Запуск обхода</translation>
    </message>
    <message>
        <source>Tour:</source>
        <translation>Обход:</translation>
    </message>
    <message>
        <source>The tour &quot;%1&quot; has nothing to show.</source>
        <translation>Обходу «%1» нечего показывать.</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::Player::HealthOverlay</name>
    <message>
        <source>Resolution: not known yet</source>
        <translation>Разрешение: пока неизвестно</translation>
    </message>
    <message>
        <source>Resolution: %1 × %2, drawn at %3 × %4</source>
        <translation>Разрешение: %1 × %2, выводится в %3 × %4</translation>
    </message>
    <message>
        <source>Resolution: %1 × %2</source>
        <translation>Разрешение: %1 × %2</translation>
    </message>
    <message>
        <source>Frames per second: %1 received, %2 shown</source>
        <translation>Кадров в секунду: получено %1, показано %2</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>Низкое</translation>
    </message>
    <message>
        <source>Middle</source>
        <translation>Среднее</translation>
    </message>
    <message>
        <source>High</source>
        <translation>Высокое</translation>
    </message>
    <message>
        <source>Quality: %1</source>
        <translation>Качество: %1</translation>
    </message>
    <message>
        <source>Auto (%1)</source>
        <translation>Авто (%1)</translation>
    </message>
    <message>
        <source>none</source>
        <translation>нет</translation>
    </message>
    <message>
        <source>Worker: %1, restarts: %2</source>
        <translation>Обработчик: %1, перезапусков: %2</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::Player::PatrolBadge</name>
    <message>
        <source>Stop</source>
        <translation>Остановить</translation>
    </message>
    <message>
        <source>Stop the patrol: the camera turns to its home position</source>
        <translation>Остановить патрулирование: камера повернётся в исходное положение</translation>
    </message>
    <message>
        <source>Patrol: %1</source>
        <translation>Патрулирование: %1</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::Player::ReconnectLabel</name>
    <message>
        <source>Reconnecting (%1/%2)...</source>
        <translation>Переподключение (%1/%2)...</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::Player::VideoPlaceholder</name>
    <message>
        <source>Drop a camera here</source>
        <translation>Перетащите сюда камеру</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::Player::VideoWidget</name>
    <message>
        <source>No video available</source>
        <translation>Видео недоступно</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Snapshot</source>
        <translation>Снимок</translation>
    </message>
    <message>
        <source>Save a snapshot</source>
        <translation>Сохранить снимок</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Параметры</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Live feed is not shared</source>
        <translation>Доступ к живому видео не предоставлен</translation>
    </message>
    <message>
        <source>Archive is not shared</source>
        <translation>Доступ к архиву не предоставлен</translation>
    </message>
    <message>
        <source>No recordings</source>
        <translation>Нет записей</translation>
    </message>
    <message>
        <source>Camera not found</source>
        <translation>Камера не найдена</translation>
    </message>
    <message>
        <source>No connection to the service, reconnecting...</source>
        <translation>Нет соединения с сервисом, переподключение...</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::Player::ZoomOverview</name>
    <message>
        <source>Show the whole picture (Esc)</source>
        <translation>Показать всё изображение (Esc)</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::PtzWidget</name>
    <message>
        <source>Route %1</source>
        <translation>Маршрут %1</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::QualityMenu</name>
    <message>
        <source>Low</source>
        <translation>Низкое</translation>
    </message>
    <message>
        <source>Middle</source>
        <translation>Среднее</translation>
    </message>
    <message>
        <source>High</source>
        <translation>Высокое</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Авто</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::ShortcutsDialog</name>
    <message>
        <source>Keyboard shortcuts</source>
        <translation>Сочетания клавиш</translation>
    </message>
    <message>
        <source>Keys</source>
        <translation>Клавиши</translation>
    </message>
    <message>
        <source>Action</source>
        <translation>Действие</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::SideBar</name>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Hide toolbars</source>
        <translation>Скрыть панели</translation>
    </message>
    <message>
        <source>Add new layout</source>
        <translation>Добавить раскладку</translation>
    </message>
    <message>
        <source>Search for cameras...</source>
        <translation>Поиск камер...</translation>
    </message>
    <message>
        <source>Search for layouts...</source>
        <translation>Поиск раскладок...</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::SideBarLayouts</name>
    <message>
        <source>No layouts added</source>
        <translation>Раскладки не добавлены</translation>
    </message>
    <message>
        <source>Layout update error</source>
        <translation>Ошибка обновления раскладок</translation>
    </message>
    <message>
        <source>Delete a layout</source>
        <translation>Удаление раскладки</translation>
    </message>
    <message>
        <source>Delete layout &quot;%1&quot;?</source>
        <translation>Удалить раскладку «%1»?</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Nothing found</source>
        <translation>Ничего не найдено</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::SideBarRoster</name>
    <message>
        <source>No servers added</source>
        <translation>Серверы не добавлены</translation>
    </message>
    <message>
        <source>Server update error</source>
        <translation>Ошибка обновления серверов</translation>
    </message>
    <message>
        <source>Delete a local video server</source>
        <translation>Удаление локального видеосервера</translation>
    </message>
    <message>
        <source>Delete the local video server &quot;%1&quot;?</source>
        <translation>Удалить локальный видеосервер &quot;%1&quot;?</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Nothing found</source>
        <translation>Ничего не найдено</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::SideBarServer</name>
    <message>
        <source>Menu</source>
        <translation>Меню</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Изменить</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>No cameras attached</source>
        <translation>Камеры не подключены</translation>
    </message>
    <message>
        <source>Server &quot;%1&quot; is offline</source>
        <translation>Сервер «%1» не в сети</translation>
    </message>
    <message>
        <source>Server &quot;%1&quot; is offline. Its cameras can be watched again once it is back online.</source>
        <translation>Сервер «%1» не в сети. Его камеры можно будет смотреть, когда он снова будет в сети.</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::SideBarSettings</name>
    <message>
        <source>Account</source>
        <translation>Учётная запись</translation>
    </message>
    <message>
        <source>Sign out</source>
        <translation>Выйти</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Язык</translation>
    </message>
    <message>
        <source>Restart required for the changes to take effect</source>
        <translation>Изменения вступят в силу после перезапуска</translation>
    </message>
    <message>
        <source>Restart now</source>
        <translation>Перезапустить</translation>
    </message>
    <message>
        <source>File save location</source>
        <translation>Папка для сохранения файлов</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Изменить</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Local view</source>
        <translation>Локальный просмотр</translation>
    </message>
    <message>
        <source>Use optimized player</source>
        <translation>Использовать оптимизированный плеер</translation>
    </message>
    <message>
        <source>The optimized player shows feeds from local cameras with less delay. Disable this if your local feed is unstable.</source>
        <translation>Оптимизированный плеер показывает видео с локальных камер с меньшей задержкой. Отключите его, если локальное видео воспроизводится нестабильно.</translation>
    </message>
    <message>
        <source>Add local server</source>
        <translation>Добавить локальный сервер</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>Версия:</translation>
    </message>
    <message>
        <source>Check for updates...</source>
        <translation>Проверка обновлений...</translation>
    </message>
    <message>
        <source>You are using the latest version.</source>
        <translation>У вас последняя версия.</translation>
    </message>
    <message>
        <source>A new version is available.</source>
        <translation>Доступна новая версия.</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Скачать</translation>
    </message>
    <message>
        <source>The update server is not available. Please try again</source>
        <translation>Сервер обновлений недоступен. Повторите попытку позже</translation>
    </message>
    <message>
        <source>Folder does not exist</source>
        <translation>Папка не существует</translation>
    </message>
    <message>
        <source>Local mode: cameras of your own network only</source>
        <translation>Локальный режим: только камеры вашей сети</translation>
    </message>
    <message>
        <source>Sign in to the cloud</source>
        <translation>Войти в облако</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>Видео</translation>
    </message>
    <message>
        <source>Always show camera names</source>
        <translation>Всегда показывать названия камер</translation>
    </message>
    <message>
        <source>Otherwise a cell shows its camera&apos;s name only while the pointer is over it.</source>
        <translation>Иначе ячейка показывает название камеры, только пока над ней указатель.</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::SideBarTours</name>
    <message>
        <source>Tours</source>
        <translation>Обходы</translation>
    </message>
    <message>
        <source>New tour</source>
        <translation>Новый обход</translation>
    </message>
    <message>
        <source>Show layouts one after another on a wall screen: make a tour.</source>
        <translation>Показывайте раскладки одну за другой на настенном экране: создайте обход.</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Остановить</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Запустить</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Изменить</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Delete the tour &quot;%1&quot;?</source>
        <translation>Удалить обход «%1»?</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::Timeline</name>
    <message>
        <source>Loading recordings...</source>
        <translation>Загрузка записей...</translation>
    </message>
    <message>
        <source>No recordings found for </source>
        <translation>Нет записей за </translation>
    </message>
    <message>
        <source>Cannot load recordings.</source>
        <translation>Не удалось загрузить записи.</translation>
    </message>
    <message>
        <source>Try again</source>
        <translation>Повторить</translation>
    </message>
    <message>
        <source>No access to recordings</source>
        <translation>Нет доступа к записям</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::TimelineTooltip</name>
    <message>
        <source>%1 h</source>
        <translation>%1 ч</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 мин</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 с</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::ToolBar</name>
    <message>
        <source>Cameras</source>
        <translation>Камеры</translation>
    </message>
    <message>
        <source>Layouts</source>
        <translation>Раскладки</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::TourDialog</name>
    <message>
        <source>Edit tour</source>
        <translation>Изменить обход</translation>
    </message>
    <message>
        <source>New tour</source>
        <translation>Новый обход</translation>
    </message>
    <message>
        <source>These layouts, in this order:</source>
        <translation>Эти раскладки, в этом порядке:</translation>
    </message>
    <message>
        <source>All cameras, one by one</source>
        <translation>Все камеры по очереди</translation>
    </message>
    <message>
        <source> s</source>
        <translation> с</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Вверх</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>Вниз</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Название:</translation>
    </message>
    <message>
        <source>Each view for:</source>
        <translation>Показывать каждый вид:</translation>
    </message>
    <message>
        <source>Enter a name for the tour.</source>
        <translation>Введите название обхода.</translation>
    </message>
    <message>
        <source>Tick the layouts the tour shows.</source>
        <translation>Отметьте раскладки, которые показывает обход.</translation>
    </message>
</context>
<context>
    <name>OrvantaClient::GUI::TourIndicator</name>
    <message>
        <source>Stop tour</source>
        <translation>Остановить обход</translation>
    </message>
    <message>
        <source>Tour &quot;%1&quot;: %2 / %3, paused</source>
        <translation>Обход «%1»: %2 / %3, пауза</translation>
    </message>
    <message>
        <source>Tour &quot;%1&quot;: %2 / %3, next in %4 s</source>
        <translation>Обход «%1»: %2 / %3, следующий вид через %4 с</translation>
    </message>
</context>
</TS>
