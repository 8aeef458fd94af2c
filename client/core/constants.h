#pragma once

namespace OrvantaClient::App::Constants {

// Process-wide names; each is fixed by what users, the service or stored files expect.
inline constexpr char applicationName[] = "Orvanta Client";
inline constexpr char internalName[] = "orvanta_client";
inline constexpr char settingsFileName[] = "OrvantaClient.ini";
inline constexpr char localRosterFileName[] = "local_roster.txt";
inline constexpr char applicationVersion[] = "6.1.3.304";
inline constexpr char platformName[] = "windows";
inline constexpr char deploymentFileName[] = "deployment.ini";
// The address of a video server installed on this computer.
inline constexpr char localHostAddress[] = "127.0.0.1";

// Exit codes of watchdesk.
inline constexpr int exitAnotherInstance = -123;
inline constexpr int exitRestart = -666;

} // namespace OrvantaClient::App::Constants
