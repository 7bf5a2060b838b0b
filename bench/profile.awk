# What the benchmark's scripts share in awk: the registry profile they seed
# and the median of a set of runs. Given with -f before a script's own awk
# (bench/table.awk, bench/startup-trace.sh), or alone with -v make=seed or
# -v make=apply and -v n=N, when it prints that registry file (REGEDIT4).

# The profile with n account keys, named 1000000000 on, so that listing order
# is numeric order: both Messenger keys without a value and only the last
# account key holding "IM Color" = 00 FF 00 00, so start-up reads every one.
function print_seed(n,    i) {
  print "REGEDIT4\n"
  print "[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\n"
  print "[HKEY_CURRENT_USER\\Software\\Microsoft\\MessengerService]\n"
  for (i = 0; i < n; i++) {
    printf "[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger\\PerPassportSettings\\%d]\n", 1000000000 + i
    if (i == n - 1) print "\"IM Color\"=hex:00,ff,00,00"
    print ""
  }
}

# What one apply writes: the last account key's colour under every account key.
function print_apply(n,    i) {
  print "REGEDIT4\n"
  for (i = 0; i < n; i++)
    printf "[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger\\PerPassportSettings\\%d]\n\"IM Color\"=hex:00,ff,00,00\n\n", 1000000000 + i
}

# Sorts v[1..k] in place (by insertion: k is a handful of runs).
function sort_runs(v, k,    i, j, t) {
  for (i = 2; i <= k; i++) {
    t = v[i]
    for (j = i - 1; j >= 1 && v[j] > t; j--) v[j + 1] = v[j]
    v[j + 1] = t
  }
}

# The median of v[1..k], which sort_runs has sorted.
function median_of_sorted(v, k) { return (k % 2) ? v[(k + 1) / 2] : (v[k / 2] + v[k / 2 + 1]) / 2 }

BEGIN {
  if (make == "seed") print_seed(n)
  else if (make == "apply") print_apply(n)
}
