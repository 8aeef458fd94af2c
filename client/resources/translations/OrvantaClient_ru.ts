<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
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
