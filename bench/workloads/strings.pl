sub main {
    my $text = "";
    for my $i (1 .. 100000) {
        $text .= "ab";
    }
    my $size = length($text);
    my $middle = substr($text, 100000, 10);
    my $where = index($text, "ba") + 1;
    print "$size $middle $where\n";
}
main();
