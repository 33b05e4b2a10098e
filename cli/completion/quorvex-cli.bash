# bash completion for quorvex-cli: commands, their options, port names and files.

_quorvex_cli_ports() {
  # The first word of each line of "quorvex-cli ports" is the port's name.
  "${COMP_WORDS[0]}" ports 2>/dev/null | cut -d' ' -f1
}

_quorvex_cli() {
  local cur prev command
  COMPREPLY=()
  cur=${COMP_WORDS[COMP_CWORD]}
  prev=${COMP_WORDS[COMP_CWORD-1]}
  local commands="ports show diff convert frame decode write read report archive"

  if [[ $COMP_CWORD -eq 1 ]]; then
    COMPREPLY=($(compgen -W "$commands --help" -- "$cur"))
    return
  fi
  command=${COMP_WORDS[1]}

  # bash splits "port:NAME" at the colon (COMP_WORDBREAKS): complete NAME alone.
  if [[ $cur == : && $prev == port ]]; then
    COMPREPLY=($(_quorvex_cli_ports))
    return
  fi
  if [[ $prev == : && ${COMP_WORDS[COMP_CWORD-2]} == port ]]; then
    COMPREPLY=($(compgen -W "$(_quorvex_cli_ports)" -- "$cur"))
    return
  fi

  case $prev in
    --port)
      COMPREPLY=($(compgen -W "$(_quorvex_cli_ports)" -- "$cur"))
      return ;;
    --ports-from|-o|--archive|--ca-file)
      COMPREPLY=($(compgen -f -- "$cur"))
      return ;;
    --backup)
      COMPREPLY=($(compgen -d -- "$cur"))
      return ;;
    --search|--object|--user)
      return ;;
    --server)
      COMPREPLY=($(compgen -W "https:// http://" -- "$cur"))
      return ;;
    --settle)
      COMPREPLY=($(compgen -W "3000" -- "$cur"))
      return ;;
  esac

  # archive ACTION FILE ...: the action first.
  if [[ $command == archive && $COMP_CWORD -eq 2 ]]; then
    COMPREPLY=($(compgen -W "list show import export --help" -- "$cur"))
    return
  fi

  local options server="--server --user --ca-file"
  case $command in
    ports) options="--json" ;;
    show) options="--json" ;;
    diff) options="--json" ;;
    convert) options="--force" ;;
    write) options="--port --ports-from --all-usb --verify --settle --backup --force --archive --object $server" ;;
    read) options="--port -o --archive --object $server" ;;
    report) options="-o --mask-password --archive --object --installer" ;;
    archive)
      case ${COMP_WORDS[2]} in
        list) options="--search --json $server" ;;
        show) options="--json $server" ;;
        import) options="$server" ;;
        export) options="-o" ;;
        *) options="" ;;
      esac ;;
    *) options="" ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options --help" -- "$cur"))
    return
  fi
  case $command in
    diff|report)
      # A source: a file, the defaults or a device on a port.
      if [[ $cur == port:* ]]; then
        COMPREPLY=($(compgen -P port: -W "$(_quorvex_cli_ports)" -- "${cur#port:}"))
      else
        COMPREPLY=($(compgen -W "defaults port:" -- "$cur") $(compgen -f -- "$cur"))
      fi ;;
    ports) ;;
    *) COMPREPLY=($(compgen -f -- "$cur")) ;;
  esac
}

complete -o filenames -F _quorvex_cli quorvex-cli
