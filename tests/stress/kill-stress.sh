#!/bin/bash
# Kills the program's writers with SIGKILL at random moments and checks
# that every name of the file holds the complete old or the complete new
# contents once the next program has opened it (tunebase-cli info or dump:
# opening puts back what a killed in-place write left).  Four kinds of
# write take turns: an MP3 whose grown ID3v2 tag makes a rewrite, and a
# collection save, each once with one name (written beside and renamed)
# and once with a second, hard-linked name in another folder (written in
# place).  What killed writers leave beside the file must be gone after
# the next complete write there.
#
#   kill-stress.sh SAFETY_CHILD TUNEBASE_CLI [RUNS]
#
# `make test` runs it briefly; run it long by hand, e.g. with 2000 runs.
# Prints the runs, the kills (writers still at work when the signal came),
# the files put back and the losses; exits with 1 when anything was lost.

set -u

child=${1:?usage: kill-stress.sh SAFETY_CHILD TUNEBASE_CLI [RUNS]}
cli=${2:?usage: kill-stress.sh SAFETY_CHILD TUNEBASE_CLI [RUNS]}
runs=${3:-40}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

kinds=(mp3 mp3-linked collection collection-linked)
collection_tracks=50000
mp3_frames=60000

now_us() { echo $(( $(date +%s%N) / 1000 )); }

# The child's command that writes the new contents of FILE.
write_command() { # kind file
    case $1 in
    mp3*) echo "$child id3v2 $2 New-title 4000" ;;
    collection*) echo "$child save-collection $2 $collection_tracks 2" ;;
    esac
}

# Opens FILE as the next program would; its messages go to ERRORS.
open_file() { # kind file errors
    case $1 in
    mp3*) "$cli" info "$2" >/dev/null 2>>"$3" ;;
    collection*) "$cli" dump "$2" >/dev/null 2>>"$3" ;;
    esac
}

# Sleeps without starting a process: a read that times out on a FIFO
# nobody writes to.
mkfifo "$scratch/silence" "$scratch/said"
exec {silence}<>"$scratch/silence"
pause_us() { # microseconds
    read -r -t "$(printf '%d.%06d' $(($1 / 1000000)) $(($1 % 1000000)))" -u "$silence" || true
}

# Runs a writer to its end (DELAY -1; the time from its start of writing
# to its end is left in write_us) or kills it DELAY microseconds after it
# started writing; returns 0 when it was killed while at work.
run_writer() { # kind file delay
    $(write_command "$1" "$2") >"$scratch/said" 2>/dev/null &
    local pid=$! line
    # The child says "writing" just before it starts.
    read -r line <"$scratch/said"
    if [ "$3" -lt 0 ]; then
        local start
        start=$(now_us)
        wait "$pid"
        write_us=$(($(now_us) - start))
        return 1
    fi
    pause_us "$3"
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    [ $? -eq 137 ]
}

total_runs=0 kills=0 restored=0 losses=0 leftovers=0
for kind in "${kinds[@]}"; do
    dir=$scratch/$kind
    mkdir -p "$dir/target" "$dir/elsewhere" "$dir/reference"
    case $kind in
    mp3*)
        name=song.mp3
        "$child" make-mp3 "$dir/old" $mp3_frames || exit 2
        ;;
    collection*)
        name=music.tbx
        "$child" save-collection "$dir/old" $((collection_tracks / 2)) 1 >/dev/null || exit 2
        ;;
    esac
    file=$dir/target/$name
    cp "$dir/old" "$file"
    linked=
    if [[ $kind == *-linked ]]; then
        linked=$dir/elsewhere/$name
        ln "$file" "$linked"
    fi
    # One complete write gives the new contents and the time a write takes.
    cp "$dir/old" "$dir/reference/$name"
    run_writer "$kind" "$dir/reference/$name" -1
    new=$dir/reference/$name

    for ((run = 0; run < (runs + ${#kinds[@]} - 1) / ${#kinds[@]}; run++)); do
        total_runs=$((total_runs + 1))
        # Up to a fifth past the measured time: some kills come too late.
        delay=$(( (RANDOM * 32768 + RANDOM) % (write_us * 6 / 5 + 1) ))
        run_writer "$kind" "$file" "$delay" && kills=$((kills + 1))
        errors=$dir/errors
        : >"$errors"
        open_file "$kind" "$file" "$errors"
        grep -q "have been put back" "$errors" && restored=$((restored + 1))
        for each in "$file" $linked; do
            if ! cmp -s "$each" "$dir/old" && ! cmp -s "$each" "$new"; then
                losses=$((losses + 1))
                echo "LOST: $kind run $run, killed after $delay us of $write_us us: $each" >&2
            fi
        done
        cat "$dir/old" >"$file"  # in place: a second name stays one
    done
    # A complete write removes what the killed ones left.
    run_writer "$kind" "$file" -1
    left=$(find "$dir/target" -mindepth 1 -name '.*' | wc -l)
    leftovers=$((leftovers + left))
done

echo "kill-stress: $total_runs runs, $kills writers killed at work, $restored files put back," \
    "$losses losses, $leftovers leftovers after the next write"
[ "$losses" -eq 0 ] && [ "$leftovers" -eq 0 ]
