function count(n) {
    return n + 1
}
BEGIN {
    n = 0
    for (i = 0; i < 100000; i++)
        n = count(n)
    print n
}
