# Sourced by scripts/test: a private PulseAudio server with one null sink, so the media player tests play
# real sound without a sound card, and can record what was played from the sink's monitor.
#   start_sound_sink  starts it (replacing one left over from an earlier run) and exports PULSE_SERVER,
#                     PULSE_COOKIE and QUORVEX_TEST_SINK for the programs started afterwards;
#   stop_sound_sink   stops it and removes its directory.
# Works as root, with no terminal and no display. Needs the Debian packages pulseaudio and pulseaudio-utils.

quorvex_sound_dir="${TMPDIR:-/tmp}/quorvex-sound-$(id -u)"
quorvex_sound_sink=quorvex_test_sink

start_sound_sink() {
    stop_sound_sink
    mkdir -p "$quorvex_sound_dir"
    chmod 700 "$quorvex_sound_dir"

    # The server keeps its socket, pid file and cookie in the private directory, never in the user's home.
    # The null sink is the default sink; norewinds=1 keeps the monitor from losing the first milliseconds
    # of each new stream. As root PulseAudio warns that it is meant for users; the warning is harmless.
    if ! env -u DISPLAY -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS \
        HOME="$quorvex_sound_dir" XDG_RUNTIME_DIR="$quorvex_sound_dir" \
        XDG_CONFIG_HOME="$quorvex_sound_dir/config" XDG_STATE_HOME="$quorvex_sound_dir/state" \
        pulseaudio --daemonize=yes --system=no -n --disallow-exit --exit-idle-time=-1 \
        --log-target="file:$quorvex_sound_dir/pulseaudio.log" \
        --load="module-null-sink sink_name=$quorvex_sound_sink norewinds=1" \
        --load="module-native-protocol-unix auth-anonymous=1" \
        </dev/null >/dev/null 2>&1; then
        echo "start_sound_sink: PulseAudio did not start; see $quorvex_sound_dir/pulseaudio.log" >&2
        return 1
    fi

    export PULSE_SERVER="unix:$quorvex_sound_dir/pulse/native"
    # The server lets any client of its private socket in; pointing the clients' cookie into the private
    # directory keeps them from writing one into the user's home.
    export PULSE_COOKIE="$quorvex_sound_dir/config/pulse/cookie"
    export QUORVEX_TEST_SINK="$quorvex_sound_sink"

    local tries
    for tries in $(seq 50); do
        if pactl set-default-sink "$quorvex_sound_sink" >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.1
    done
    echo "start_sound_sink: PulseAudio does not answer on $PULSE_SERVER (tried $tries times)" >&2
    stop_sound_sink
    return 1
}

# True while the process runs (a zombie waiting for its parent to collect it has already stopped).
quorvex_sound_server_alive() {
    local state
    state="$(sed -n 's/^State:[[:space:]]*\([A-Z]\).*/\1/p' "/proc/$1/status" 2>/dev/null)"
    [ -n "$state" ] && [ "$state" != Z ] && [ "$state" != X ]
}

stop_sound_sink() {
    local pid_file="$quorvex_sound_dir/pulse/pid" pid tries
    if [ -f "$pid_file" ]; then
        pid="$(cat "$pid_file")"
        # Only the server of this directory is stopped, and only while it really is a pulseaudio.
        if [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = pulseaudio ]; then
            kill "$pid" 2>/dev/null || true
            for tries in $(seq 50); do
                quorvex_sound_server_alive "$pid" || break
                sleep 0.1
            done
            if quorvex_sound_server_alive "$pid"; then
                echo "stop_sound_sink: PulseAudio $pid did not stop after $tries tries; killing it" >&2
                kill -9 "$pid" 2>/dev/null || true
            fi
        fi
    fi
    rm -rf "$quorvex_sound_dir"
    unset PULSE_SERVER PULSE_COOKIE QUORVEX_TEST_SINK
    return 0
}
