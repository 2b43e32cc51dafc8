BEGIN {
    total = 0
    for (i = 1; i <= 1000000; i++)
        total += 1
    print total
}
