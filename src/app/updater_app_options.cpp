// The effective option set of a start and how it fills the application's fields.
#include <cstdio>

#include "app/configuration.h"
#include "app/updater_app.h"
#include "base/update_log.h"
#include "integrity/config_file.h"
#include "integrity/scramble.h"
#include "release/release_options.h"

bool UpdaterApp::BuildEffectiveOptions(const String& commandLine) {
    const OptionSet commandSet(commandLine.Text());
    std::string path;
    commandSet.FirstPlain(path);
    std::string value;
    if (commandSet.GetText("check", value) != 0) {
        options = std::make_unique<OptionSet>(commandLine.Text());
        return true;
    }
    const String defaultName = configName;
    commandSet.GetString("config", configName);
    String configText;
    bool readable = ReadConfigFile(configName, configText);
    if (!readable && configName.EqualsNoCase(defaultName)) {
        readable = ReadConfigFile("config.bin", configText);
        if (readable) {
            legacyConfig = true;
            configName = "config.bin";
        }
    }
    if (!readable) {
        if (commandSet.HasFlag("release") || commandSet.GetText("hash", value) != 0) {
            UpdateLog("bad config file ignored.");
            options = std::make_unique<OptionSet>(commandLine.Text());
            return true;
        }
        UpdateLog("bad config file");
        std::fputs("bad config file\n", stderr);
        return false;
    }

    std::string effective = EffectiveOptionText(path, std::string(configText.View()));
    AppendAllowedOptions(effective, OptionSet(configText.Text()), commandSet);
    options = std::make_unique<OptionSet>(effective.c_str());
    if (options->GetText("installation", value) != 0) return true;

    // A new installation is named once; the configuration keeps the name from then on.
    const std::string addition = "\n-installation " + NewInstallationId();
    configText.Append(String(addition));
    WriteConfigFile(configName, configText);
    options = std::make_unique<OptionSet>((effective + addition).c_str());
    return true;
}

bool UpdaterApp::ApplyOptions(std::unique_ptr<OptionSet> set) {
    options = std::move(set);
    const OptionSet& o = *options;
    std::string text;
    if (o.FirstPlain(text) == 0) return false;
    exePath = text;
    if (o.HasFlag("noencryption")) SetEncryptionEnabled(false);
    if (o.GetText("hash", text) != 0) {
        hash = text;
        return true;
    }
    if (o.GetString("language", language) == 0 || o.GetString("edition", edition) == 0 ||
        o.GetString("game", game) == 0) {
        return false;
    }
    if (legacyConfig && !game.EqualsNoCase("ravelmoor")) return false;
    o.GetString("gamelogfile", gameLogFile);
    o.GetString("bugreport", crashUrl);

    bool check = false;
    if (o.GetBool("check", check) != 0 && check) {
        UpdateLog("ERROR: commandline option \"check\" does not exist anymore!");
    } else if (o.GetText("execute", text) != 0) {
        execute = text;
    } else if (o.HasFlag("release")) {
        release = true;
    } else if (o.GetText("install", text) != 0) {
        install = text;
    } else {
        return false;
    }

    if (release) {
        ReleaseOptions releaseOptions;
        if (!ReadReleaseOptions(o, releaseOptions, errorText)) return false;
    } else if (!install) {
        if (o.GetText("installation", text) != 0) installation = text;
        String module;
        for (int32_t at = o.GetString("module", module); at != 0;
             at = o.GetString("module", module, at)) {
            bool listed = false;
            for (const String& known : modules) listed = listed || known == module;
            if (!listed) modules.push_back(module);
        }
    }

    test = o.HasFlag("test");
    if (o.GetText("local", text) != 0) {
        localPath = text;
        local = true;
    }
    noHash = o.HasFlag("nohash");
    if (o.GetText("updater", text) != 0) updaterName = text;
    if (o.GetString("zorvpath", zorvPath) != 0) zorvPathGiven = true;
    restricted = o.HasFlag("restricted");
    hidden = o.HasFlag("hidden");
    String nonEmpty;
    if (o.GetString("apptitle", nonEmpty) != 0 && !nonEmpty.IsEmpty()) appTitle = nonEmpty;
    if (o.GetString("crashurl", nonEmpty) != 0 && !nonEmpty.IsEmpty()) crashUrl = nonEmpty;
    o.GetString("updateserver", updateServer);
    if (o.HasFlag("nopolling")) polling = false;
    if (o.HasFlag("nokickstart")) kickstart = false;

    int32_t minimum = 0;
    if (o.GetInt("updaterversion", minimum) != 0) return updaterVersion >= minimum;
    return legacyConfig;
}
