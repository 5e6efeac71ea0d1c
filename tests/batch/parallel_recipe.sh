#!/usr/bin/env bash
# README's GNU parallel recipes run for real over SSH on this machine: an sshd
# of the test's own on 127.0.0.1 (its own host key, port and client key) stands
# in for a node. The section recipe must bring back what a local run writes
# and leave nothing on the node; the study recipe must join the parts into
# one table. The node's side works in a scratch folder (--workdir), not in the
# login directory the README's recipe uses.
#   tests/batch/parallel_recipe.sh MARROWICK_BATCH
set -euo pipefail
program="$1"
for tool in parallel /usr/sbin/sshd ssh ssh-keygen rsync tar; do
  command -v "$tool" >/dev/null || { echo "parallel_recipe: $tool is missing (scripts/install-deps.sh --test)"; exit 1; }
done

work="$(mktemp -d)"
sshd_pid=""
cleanup() {
  [ -n "$sshd_pid" ] && kill "$sshd_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
mkdir -p node sections /run/sshd
# SSH passes no environment: the batch's settings (the sanitizers', the
# headless display) go with it in a wrapper.
batch="$work/marrowick-batch"
{
  echo '#!/bin/sh'
  for name in ASAN_OPTIONS UBSAN_OPTIONS QT_QPA_PLATFORM; do
    [ -n "${!name:-}" ] && echo "export $name='${!name}'"
  done
  echo "exec '$program' \"\$@\""
} >"$batch"
chmod +x "$batch"
ssh-keygen -q -t ed25519 -N '' -f host_key
ssh-keygen -q -t ed25519 -N '' -f client_key
cp client_key.pub authorized_keys
chmod 600 authorized_keys

# A port nobody listens on, tried a few times.
for attempt in 1 2 3 4 5; do
  port=$((20000 + RANDOM % 40000))
  cat >sshd_config <<CONFIG
ListenAddress 127.0.0.1
Port $port
HostKey $work/host_key
AuthorizedKeysFile $work/authorized_keys
PidFile $work/sshd.pid
PasswordAuthentication no
KbdInteractiveAuthentication no
PermitRootLogin prohibit-password
StrictModes no
UsePAM no
CONFIG
  /usr/sbin/sshd -f sshd_config -D -e 2>sshd.log &
  sshd_pid=$!
  sleep 0.5
  kill -0 "$sshd_pid" 2>/dev/null && break
  sshd_pid=""
done
[ -n "$sshd_pid" ] || { cat sshd.log; exit 1; }

cat >ssh_config <<CONFIG
Host node1
  HostName 127.0.0.1
  Port $port
  User $(id -un)
  IdentityFile $work/client_key
  IdentitiesOnly yes
  UserKnownHostsFile $work/known_hosts
  BatchMode yes
CONFIG
ssh_command="ssh -F $work/ssh_config"

# Until its host key is accepted, every job on the node fails with 255.
printf '[analysis]\naxial_segments=2\n' >sections/a.ini
set +e
parallel --ssh "$ssh_command" --sshlogin 1/node1 --workdir "$work/node" \
  --transferfile {} --return {/.}.tar --cleanup "$batch" --jobs 1 {} ::: sections/a.ini 2>/dev/null
status=$?
set -e
[ "$status" -eq 1 ] || { echo "parallel_recipe: before the host key, exit status $status"; exit 1; }
$ssh_command -o StrictHostKeyChecking=accept-new node1 true

printf '[section]\nwidth_mm=450\n[analysis]\naxial_segments=4\n' >sections/b.ini
printf '[section]\nwidht_mm=450\n' >sections/bad.ini
# README's recipe, but for --controlmaster, which with Debian 12's parallel
# (20221122) started the first file in every slot and no other file.
set +e
parallel --ssh "$ssh_command" --sshlogin 2/node1 --workdir "$work/node" \
  --transferfile {} --return {/.}.tar --cleanup --joblog batch.log \
  "$batch"' --jobs 1 --out {/.}.out {}; s=$?; tar cf {/.}.tar -C {/.}.out .; rm -rf {/.}.out; exit $s' \
  ::: sections/*.ini 2>parallel.err
status=$?
set -e
[ "$status" -eq 1 ] || { echo "parallel_recipe: exit status $status, not 1 (one bad file)"; cat parallel.err batch.log; exit 1; }
for archive in *.tar; do
  tar xf "$archive" --transform "s|^\./study\.csv\$|./${archive%.tar}.study.csv|" && rm "$archive"
done
{ head -qn 1 -- *.study.csv | head -n 1; tail -qn +2 -- *.study.csv; } >study.csv
left="$(find node -type f 2>/dev/null || true)"
[ -z "$left" ] || { echo "parallel_recipe: left on the node: $left"; exit 1; }

mkdir local
(cd local && "$batch" --jobs 1 ../sections/a.ini ../sections/b.ini ../sections/bad.ini 2>/dev/null) || true
for name in a b; do
  # The report names the minute it was made: every other file must be the same.
  diff -r -x report.pdf "$name" "local/$name" ||
    { echo "parallel_recipe: $name differs from a local run"; exit 1; }
  [ -s "$name/report.pdf" ] || { echo "parallel_recipe: $name has no report"; exit 1; }
done
# The failure names the file where it was read: compare the done rows.
[ "$(grep ',done,' study.csv | sort)" = "$(grep ',done,' local/study.csv | sort)" ] &&
  [ "$(head -n 1 study.csv)" = "$(head -n 1 local/study.csv)" ] &&
  grep -q '^bad,failed,' study.csv || { echo "parallel_recipe: study.csv differs"; exit 1; }

# A study split over the node's jobs, one table per part, joined.
printf '[analysis]\naxial_segments=2\n' >column.ini
parallel --ssh "$ssh_command" --sshlogin 2/node1 --workdir "$work/node" \
  --basefile column.ini --return study-{#}.csv --cleanup \
  "$batch"' --jobs 1 --outputs none --out part-{#} --vary peak_strength_MPa={} \
     --vary axial_force_kN=-1000:0:500 column.ini; s=$?;
   mv part-{#}/study.csv study-{#}.csv; rm -rf part-{#}; exit $s' ::: 25 30 2>/dev/null
{ head -n 1 study-1.csv; for part in study-*.csv; do tail -n +2 "$part"; done; } >study.csv
"$batch" --jobs 2 --outputs none --out whole --vary peak_strength_MPa=25,30 \
  --vary axial_force_kN=-1000:0:500 column.ini 2>/dev/null
[ "$(sort study.csv)" = "$(sort whole/study.csv)" ] || { echo "parallel_recipe: the joined table differs"; exit 1; }
left="$(find node -type f 2>/dev/null || true)"
[ -z "$left" ] || { echo "parallel_recipe: left on the node: $left"; exit 1; }
echo "parallel_recipe: 2 recipes over SSH, results equal to local runs"
