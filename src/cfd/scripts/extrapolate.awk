# The finest mesh's start: the results of the coarse and the medium mesh, both mapped
# onto it, give its own to first order, since the discretisation error halves with
# the cell size:
#     fine = medium + (medium - coarse) / 2
#   awk -v coarse=start.coarse/U -v positive=0 -f ../extrapolate.awk 0/U > 0/U.start
# Every number of the internal field becomes that; with positive=1 (p, T) it stays
# above half the medium's. Every other line is the medium file's own. Fails when the
# two files do not match line for line.
{
    if ((getline other < coarse) <= 0) exit 1
}
list && $0 == ")" { list = 0 }
list {
    line = $0
    gsub(/[()]/, " ", line)
    gsub(/[()]/, " ", other)
    n = split(line, a)
    if (split(other, b) != n) exit 1
    out = ""
    for (i = 1; i <= n; ++i) {
        v = a[i] + (a[i] - b[i]) / 2
        if (positive && v < a[i] / 2) v = a[i] / 2
        out = out (i > 1 ? " " : "") sprintf("%.10g", v)
    }
    print (n > 1 ? "(" out ")" : out)
    next
}
{ print }
/^internalField +nonuniform/ { counted = 1 }
counted && $0 == "(" { list = 1; counted = 0 }
