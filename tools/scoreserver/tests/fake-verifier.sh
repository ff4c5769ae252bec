#!/bin/bash
# A stand-in for "vantorix --verify -" in the server's tests, answering as the real one does (one
# line of JSON, exit status 0, 1 or 2) from words the test wrote after the replay's magic:
#   VTXREPLY <verdict> <score> <final hash> [<player's name> [<seconds to work>]]
# verdict: verified, mismatch, unreadable, other-build, or what a broken verifier does: spin (runs
# out of CPU time), crash (killed by a signal), babble (prints no JSON). Only shell builtins are used:
# the sandbox lets it start no other program.
IFS= read -r -n 4096 line
[ "$1" = "--verify" ] && [ "$2" = "-" ] || { echo '{"verdict":"unreadable"}'; exit 2; }
read -r magic verdict score hash name work <<<"$line"
case "$verdict" in
spin) while :; do :; done ;;
crash) kill -SEGV $$ ;;
babble) echo "this is not JSON"; exit 0 ;;
esac
[ -n "$work" ] && while ((SECONDS < work)); do :; done
status=0
case "$verdict" in
mismatch) status=1 ;;
unreadable | other-build) status=2 ;;
esac
printf '{"verdict":"%s","reason":"%s","game_version":"1.0.0","rules_version":2,"rules_hash":"0123456789abcdef","name":"%s",' \
  "$verdict" "${verdict/verified/}" "${name:-Fake}"
printf '"claimed_score":%s,"claimed_stage":4,"claimed_frames":99600,"score":%s,"stage":4,"frames":99600,' \
  "${score:-0}" "${score:-0}"
printf '"played_ms":600512,"final_hash":"%s","first_mismatch_frame":null}\n' "${hash:-0123456789abcdef}"
exit $status
