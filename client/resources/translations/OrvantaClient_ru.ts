<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>OrvantaClient::API::Camera</name>
    <message>
        <source>not paid for</source>
        <translation>не оплачена</translation>
    </message>
    <message>
        <source> and </source>
        <translation> и </translation>
    </message>
    <message>
        <source>offline</source>
        <translation>не в сети</translation>
    </message>
    <message>
        <source>Camera &quot;%1&quot; is </source>
        <translation>Камера «%1» </translation>
    </message>
    <message>
        <source>Set up pricing plan</source>
        <translation>Выбрать тарифный план</translation>
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
</context>
<context>
    <name>OrvantaClient::GUI::PtzWidget</name>
    <message>
        <source>Route %1</source>
        <translation>Маршрут %1</translation>
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
</context>
</TS>
