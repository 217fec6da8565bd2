# Sourced by scripts/test: a private sound server with one null sink, so the media player tests play real
# sound without a sound card, and can record what was played from the sink's monitor.
#   start_sound_sink [pulseaudio|pipewire]
#                     starts PulseAudio (the default) or PipeWire with its PulseAudio server (replacing a
#                     server left over from an earlier run) and exports PULSE_SERVER, PULSE_COOKIE,
#                     QUORVEX_TEST_SINK and QUORVEX_SOUND_SERVER (which of the two) for the programs started
#                     afterwards; both are reached the same way;
#   stop_sound_sink   stops it and removes its directory.
# Works as root, with no terminal, no display and no login session. Needs the Debian packages pulseaudio and
# pulseaudio-utils; PipeWire needs pipewire, wireplumber, pipewire-pulse and dbus-daemon. Each server gets a
# directory of its own, made when it starts: two test runs side by side (two clones, say) never share a sink.

quorvex_sound_dir=
quorvex_sound_sink=quorvex_test_sink

start_sound_sink() {
    local server="${1:-pulseaudio}"
    stop_sound_sink
    quorvex_sound_dir="$(mktemp -d "${TMPDIR:-/tmp}/quorvex-sound.XXXXXX")" || return 1
    quorvex_sound_env=(env -u DISPLAY -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS
        HOME="$quorvex_sound_dir" XDG_RUNTIME_DIR="$quorvex_sound_dir"
        XDG_CONFIG_HOME="$quorvex_sound_dir/config" XDG_STATE_HOME="$quorvex_sound_dir/state")
    case "$server" in
    pulseaudio) quorvex_start_pulseaudio || return 1 ;;
    pipewire) quorvex_start_pipewire || { stop_sound_sink; return 1; } ;;
    *)
        echo "start_sound_sink: no sound server \"$server\" (pulseaudio or pipewire)" >&2
        return 1
        ;;
    esac

    export PULSE_SERVER="unix:$quorvex_sound_dir/pulse/native"
    # The server lets any client of its private socket in; pointing the clients' cookie into the private
    # directory keeps them from writing one into the user's home.
    export PULSE_COOKIE="$quorvex_sound_dir/config/pulse/cookie"
    export QUORVEX_TEST_SINK="$quorvex_sound_sink"
    export QUORVEX_SOUND_SERVER="$server"
    # The media player's output for the tests: PulseAudio's own protocol, or PipeWire's as mpv uses it on a
    # desktop that runs PipeWire.
    if [ "$server" = pipewire ]; then
        export QUORVEX_TEST_AO=pipewire PIPEWIRE_REMOTE="$quorvex_sound_dir/pipewire-0"
    else
        export QUORVEX_TEST_AO=pulse
    fi

    local tries
    for tries in $(seq 50); do
        if pactl info >/dev/null 2>&1; then
            break
        fi
        sleep 0.1
    done
    # PipeWire's PulseAudio server makes the null sink on request (PulseAudio loaded it at its start).
    if [ "$server" = pipewire ] && ! pactl load-module module-null-sink sink_name="$quorvex_sound_sink" \
        >/dev/null 2>&1; then
        echo "start_sound_sink: PipeWire made no null sink; see $quorvex_sound_dir/*.log" >&2
        stop_sound_sink
        return 1
    fi
    # The default sink is the null sink once the server says so: under PipeWire that is WirePlumber's word,
    # which also means it is linking streams.
    for tries in $(seq 50); do
        if pactl set-default-sink "$quorvex_sound_sink" >/dev/null 2>&1 &&
            [ "$(pactl get-default-sink 2>/dev/null)" = "$quorvex_sound_sink" ]; then
            return 0
        fi
        sleep 0.1
    done
    echo "start_sound_sink: $server does not answer on $PULSE_SERVER (tried $tries times)" >&2
    stop_sound_sink
    return 1
}

# quorvex_sound_env, set by start_sound_sink, is the environment of the private servers: their sockets, state
# and configuration in the private directory, never in the user's home, and no display or session bus of the
# user's. (A command, not a function: a server started in the background through it keeps the process id the
# shell reports.)

quorvex_start_pulseaudio() {
    # The server keeps its socket, pid file and cookie in the private directory, never in the user's home.
    # The null sink is the default sink; norewinds=1 keeps the monitor from losing the first milliseconds
    # of each new stream. As root PulseAudio warns that it is meant for users; the warning is harmless. No CPU
    # limiter: on a busy machine (the load phase) it may end the server in the middle of the tests.
    if ! "${quorvex_sound_env[@]}" pulseaudio --daemonize=yes --system=no -n --disallow-exit --exit-idle-time=-1 \
        --no-cpu-limit \
        --log-target="file:$quorvex_sound_dir/pulseaudio.log" \
        --load="module-null-sink sink_name=$quorvex_sound_sink norewinds=1" \
        --load="module-native-protocol-unix auth-anonymous=1" \
        </dev/null >/dev/null 2>&1; then
        echo "start_sound_sink: PulseAudio did not start; see $quorvex_sound_dir/pulseaudio.log" >&2
        return 1
    fi
}

# PipeWire as a desktop runs it, without the desktop: a session bus of its own (WirePlumber needs one), the
# PipeWire daemon, WirePlumber (the session manager that links streams to sinks) and the PulseAudio server,
# each waited for before the next starts. Their process ids go to `pids`, for stop_sound_sink.
quorvex_start_pipewire() {
    local bus="unix:path=$quorvex_sound_dir/bus" daemon tries
    if ! dbus-daemon --session --fork --address="$bus" --print-pid=1 >"$quorvex_sound_dir/pids" \
        2>"$quorvex_sound_dir/dbus.log"; then
        echo "start_sound_sink: no session bus for PipeWire; see $quorvex_sound_dir/dbus.log" >&2
        return 1
    fi
    for daemon in pipewire wireplumber pipewire-pulse; do
        "${quorvex_sound_env[@]}" DBUS_SESSION_BUS_ADDRESS="$bus" "$daemon" </dev/null \
            >"$quorvex_sound_dir/$daemon.log" 2>&1 &
        echo "$!" >>"$quorvex_sound_dir/pids"
        # WirePlumber is there once the default sink follows a request (see start_sound_sink).
        [ "$daemon" = pipewire ] || continue
        for tries in $(seq 50); do
            [ -S "$quorvex_sound_dir/pipewire-0" ] && break
            sleep 0.1
        done
    done
}

# True while the process runs (a zombie waiting for its parent to collect it has already stopped).
quorvex_sound_server_alive() {
    local state
    state="$(sed -n 's/^State:[[:space:]]*\([A-Z]\).*/\1/p' "/proc/$1/status" 2>/dev/null)"
    [ -n "$state" ] && [ "$state" != Z ] && [ "$state" != X ]
}

# Stops one server process of the private directory, only while it still is the program named.
quorvex_stop_sound_process() {
    local pid="$1" name="$2" tries
    [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "$name" ] || return 0
    kill "$pid" 2>/dev/null || true
    for tries in $(seq 50); do
        quorvex_sound_server_alive "$pid" || return 0
        sleep 0.1
    done
    echo "stop_sound_sink: $name $pid did not stop after $tries tries; killing it" >&2
    kill -9 "$pid" 2>/dev/null || true
}

stop_sound_sink() {
    local pids=() pid index name
    [ -n "$quorvex_sound_dir" ] && [ -d "$quorvex_sound_dir" ] || return 0
    quorvex_stop_sound_process "$(cat "$quorvex_sound_dir/pulse/pid" 2>/dev/null)" pulseaudio
    # PipeWire's processes, the last started first; the session bus last.
    [ -f "$quorvex_sound_dir/pids" ] && mapfile -t pids <"$quorvex_sound_dir/pids"
    for ((index = ${#pids[@]} - 1; index >= 0; index--)); do
        pid="${pids[index]}"
        for name in pipewire-pulse wireplumber pipewire dbus-daemon; do
            quorvex_stop_sound_process "$pid" "$name"
        done
    done
    rm -rf "$quorvex_sound_dir"
    quorvex_sound_dir=
    unset PULSE_SERVER PULSE_COOKIE QUORVEX_TEST_SINK QUORVEX_SOUND_SERVER QUORVEX_TEST_AO PIPEWIRE_REMOTE
    return 0
}
