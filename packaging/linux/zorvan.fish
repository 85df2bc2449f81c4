# fish completion for zorvan. The program itself says which words may follow the line typed so
# far (zorvan __complete), from the same table as its help, so this script never falls behind it.
function __zorvan_complete
    set -l typed (commandline -opc)
    set -l cur (commandline -ct)
    for word in (command $typed[1] __complete $typed[2..-1] "$cur" 2>/dev/null)
        switch $word
            case :file
                __fish_complete_path "$cur"
            case :dir
                __fish_complete_directories "$cur"
            case '*'
                echo $word
        end
    end
end
complete -c zorvan -f -a '(__zorvan_complete)'
