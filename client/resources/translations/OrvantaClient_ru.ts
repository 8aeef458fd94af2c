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
</TS>
