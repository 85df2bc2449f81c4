# fish completion for zorvan: the global options, the commands and their words.
set -l commands list info show set button profile reset macro eeprom sim help
complete -c zorvan -f
complete -c zorvan -l sim -d 'use the virtual receiver and mouse'
complete -c zorvan -l model -x -a '1 2 3 vesper talon hive' -d 'the catalogue entry of the virtual mouse'
complete -c zorvan -l cfg -r -F -d 'the cfg.ini to use'
complete -c zorvan -l data-dir -x -a '(__fish_complete_directories)' -d 'the data folder'
complete -c zorvan -l json -d 'JSON output'
complete -c zorvan -s q -l quiet -d 'nothing on standard output after a change'
complete -c zorvan -s v -l verbose -d 'the diagnostic log on standard error'
complete -c zorvan -s y -l yes -d 'reset without asking'
complete -c zorvan -s h -l help -d 'the usage'
complete -c zorvan -s V -l version -d 'the version'

complete -c zorvan -n "not __fish_seen_subcommand_from $commands" -a list -d 'receivers and mice found'
complete -c zorvan -n "not __fish_seen_subcommand_from $commands" -a info -d 'model, firmware, battery'
complete -c zorvan -n "not __fish_seen_subcommand_from $commands" -a show -d 'the current onboard profile'
complete -c zorvan -n "not __fish_seen_subcommand_from $commands" -a set -d 'change one setting'
complete -c zorvan -n "not __fish_seen_subcommand_from $commands" -a button -d 'give a button a function'
complete -c zorvan -n "not __fish_seen_subcommand_from $commands" -a profile -d 'switch, export, import, apply, link'
complete -c zorvan -n "not __fish_seen_subcommand_from $commands" -a reset -d 'the factory settings'
complete -c zorvan -n "not __fish_seen_subcommand_from $commands" -a macro -d 'the macro library'
complete -c zorvan -n "not __fish_seen_subcommand_from $commands" -a eeprom -d 'raw memory'
complete -c zorvan -n "not __fish_seen_subcommand_from $commands" -a sim -d 'act on the virtual mouse'
complete -c zorvan -n "not __fish_seen_subcommand_from $commands" -a help -d 'usage'

set -l settings rate dpi dpi-count dpi-level dpi-color lod ripple angle-snap motion-sync sensor-mode debounce sleep auto-sleep light-off-moving light
complete -c zorvan -n "__fish_seen_subcommand_from set; and not __fish_seen_subcommand_from $settings" -a "$settings"
complete -c zorvan -n "__fish_seen_subcommand_from set; and __fish_seen_subcommand_from rate" -a '125 250 500 1000'
complete -c zorvan -n "__fish_seen_subcommand_from set; and __fish_seen_subcommand_from ripple angle-snap motion-sync light-off-moving" -a 'on off'
complete -c zorvan -n "__fish_seen_subcommand_from set; and __fish_seen_subcommand_from sensor-mode" -a 'hp lp'
complete -c zorvan -n "__fish_seen_subcommand_from set; and __fish_seen_subcommand_from lod" -a '1 2'
complete -c zorvan -n "__fish_seen_subcommand_from light; and not __fish_seen_subcommand_from main logo dpi" -a 'main logo dpi'
complete -c zorvan -n "__fish_seen_subcommand_from light; and __fish_seen_subcommand_from main" -a 'off steady breathing wave spectrum reactive cycle'
complete -c zorvan -n "__fish_seen_subcommand_from light; and __fish_seen_subcommand_from logo" -a 'off steady breathing spectrum'
complete -c zorvan -n "__fish_seen_subcommand_from light; and __fish_seen_subcommand_from dpi" -a 'off steady breathing'
complete -c zorvan -n "__fish_seen_subcommand_from light" -l brightness -x
complete -c zorvan -n "__fish_seen_subcommand_from light" -l speed -x
complete -c zorvan -n "__fish_seen_subcommand_from light" -l color -x

set -l functions left right middle forward back off dpi-up dpi-down dpi-cycle rate-switch profile-switch light-mode light-toggle fire combo media sniper macro extra
complete -c zorvan -n "__fish_seen_subcommand_from button; and test (count (commandline -opc)) -eq 2" -a '(seq 16)'
complete -c zorvan -n "__fish_seen_subcommand_from button; and test (count (commandline -opc)) -eq 3" -a "$functions"

set -l profile_words switch export import apply link unlink links
complete -c zorvan -n "__fish_seen_subcommand_from profile; and not __fish_seen_subcommand_from $profile_words" -a "$profile_words"
complete -c zorvan -n "__fish_seen_subcommand_from profile; and __fish_seen_subcommand_from switch" -a '1 2 3 4'
complete -c zorvan -n "__fish_seen_subcommand_from profile macro; and __fish_seen_subcommand_from export import" -F
complete -c zorvan -n "__fish_seen_subcommand_from profile; and __fish_seen_subcommand_from apply" -F -a '-'
set -l macro_words list show new import export delete
complete -c zorvan -n "__fish_seen_subcommand_from macro; and not __fish_seen_subcommand_from $macro_words" -a "$macro_words"
complete -c zorvan -n "__fish_seen_subcommand_from eeprom; and not __fish_seen_subcommand_from read write" -a 'read write'
set -l sim_words dpi-button profile-button unplug replug battery
complete -c zorvan -n "__fish_seen_subcommand_from sim; and not __fish_seen_subcommand_from $sim_words" -a "$sim_words"
complete -c zorvan -n "__fish_seen_subcommand_from help; and test (count (commandline -opc)) -eq 2" -a "$commands"
